// Drives Debian's Chromium through a member's own page with Playwright, at desktop and phone widths.
// node member_flow.cjs BASE SHOTS_DIR EMAIL PASSWORD
//   logs the member in twice (two browsers), finds their standing on every board (beyond the first
//   hundred too) with their own row marked, their best scores dated and their recruits; changes the
//   nickname (a taken one first) and the password (a wrong old one first), and finds the other browser
//   logged out; with SHOTS_DIR, screenshots the page at both widths.
'use strict';
const { chromium } = require('playwright-core');
const path = require('path');
const { contrastFaults } = require('./contrast.cjs');

const [base, shots, email, password] = process.argv.slice(2);

function check(condition, what) {
  if (!condition) throw new Error('FAIL: ' + what);
  console.log('ok: ' + what);
}

async function logIn(context, pass) {
  const page = await context.newPage();
  page.setDefaultTimeout(15000);
  await page.goto(base + '/mina-sidor/');
  check(page.url().includes('/logga-in/'), 'my page asks for a log-in first');
  await page.fill('#email', email);
  await page.fill('#password', pass);
  await Promise.all([page.waitForURL('**/mina-sidor/'), page.click('button.go')]);
  return page;
}

async function shoot(page, name) {
  if (shots) await page.screenshot({ path: path.join(shots, name + '.png'), fullPage: true });
  const contrast = await contrastFaults(page);
  check(contrast.faults.length === 0, `the ${name} page's contrast is WCAG AA (${contrast.measured} measured${contrast.faults.length ? ': ' + contrast.faults.join('; ') : ''})`);
}

(async () => {
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking'] });
  try {
    const desk = await browser.newContext({ viewport: { width: 1280, height: 900 } });
    const phone = await browser.newContext({ viewport: { width: 390, height: 844 } });
    const page = await logIn(desk, password);
    const other = await logIn(phone, password);
    const today = await page.textContent('#standing-today');
    const place = Number((today.match(/plats (\d+)/) || [])[1]);
    check(place > 100, `my standing today is shown beyond the first hundred (place ${place})`);
    const own = await page.$$eval('#standing-today tr.own', (trs) => trs.map((tr) => tr.innerText));
    check(own.length === 1 && own[0].includes('Elsa'), 'my own row is marked');
    check(await page.$$eval('#standing-today tbody tr', (trs) => trs.length) >= 3, 'the rows around mine are shown');
    check((await page.getAttribute('#standing-today tr.own', 'aria-current')) === 'true', 'my row is marked for screen readers too');
    const best = await page.$$eval('#best tbody tr', (trs) => trs.map((tr) => tr.innerText));
    check(best.length >= 1 && /2345\s+\d{4}-\d\d-\d\d \d\d:\d\d/.test(best[0]), `my best score is dated (${best[0]})`);
    check((await page.textContent('#recruits')).includes('(0)'), 'my recruits are counted');
    await shoot(page, '1280-member');
    const wide = await other.evaluate(() => document.documentElement.scrollWidth);
    check(wide <= 390, `my page fits a phone (${wide} px)`);
    await shoot(other, '390-member');

    // The whole board a page at a time: mine is on the third page of fifty, my row marked.
    await page.goto(base + '/topplista/alltid/');
    check(await page.$$eval('#board tbody tr', (trs) => trs.length) === 50, 'a page of the whole board holds fifty');
    await Promise.all([page.waitForURL('**sida=2'), page.click('a[rel=next]')]);
    await Promise.all([page.waitForURL('**sida=3'), page.click('a[rel=next]')]);
    check((await page.textContent('#board tr.own')).includes('Elsa'), 'my row is marked on the page of the board it falls on');
    await shoot(page, '1280-board-page3');
    await page.goto(base + '/mina-sidor/');

    // A nickname taken by another: the error stands by the field, which has the focus.
    await page.fill('#nickname', 'rival <3');
    await page.click('form[action="/mina-sidor/smeknamn/"] button.go');
    await page.waitForSelector('#nickname-error');
    check((await page.textContent('#nickname-error')).includes('taken'), 'a taken nickname is refused by its field');
    check(await page.evaluate(() => document.activeElement && document.activeElement.id) === 'nickname', 'the focus is on the field in error');
    await shoot(page, '1280-member-error');
    await page.fill('#nickname', 'Elsa Snö');
    await Promise.all([page.waitForURL('**klart=smeknamn'), page.click('form[action="/mina-sidor/smeknamn/"] button.go')]);
    check((await page.textContent('.who')) === 'Elsa Snö', 'the new nickname is mine');

    // The password: a wrong old one is refused by its field; the right one changes it and ends the other session.
    await page.fill('#old', 'fel-losen');
    await page.fill('#password', 'nytt-losen');
    await page.fill('#password2', 'nytt-losen');
    await page.click('form[action="/mina-sidor/losenord/"] button.go');
    await page.waitForSelector('#old-error');
    check(await page.evaluate(() => document.activeElement.id) === 'old', 'a wrong old password is refused by its field, focused');
    check(await page.inputValue('#password') === '', 'no password comes back in the page');
    await page.fill('#old', password);
    await page.fill('#password', 'nytt-losen');
    await page.fill('#password2', 'nytt-losen');
    await Promise.all([page.waitForURL('**klart=losenord'), page.click('form[action="/mina-sidor/losenord/"] button.go')]);
    check((await page.textContent('.ok')).includes('password is changed'), 'the password is changed and I stay logged in');
    await other.goto(base + '/mina-sidor/');
    check(other.url().includes('/logga-in/'), 'the other browser is logged out');
    await logIn(phone, 'nytt-losen');
  } finally {
    await browser.close();
  }
})().catch((e) => {
  console.error(e.message || e);
  process.exit(1);
});
