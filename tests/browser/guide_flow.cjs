// Drives Debian's Chromium through the pages that guide a visitor, with Playwright, at desktop and phone
// widths: the sign-up page the game opens after "unknown user", a form sent after its token went out of
// date, the page after too many wrong passwords; every one fitting a phone and of WCAG AA contrast.
// node guide_flow.cjs BASE SHOTS_DIR
'use strict';
const { chromium } = require('playwright-core');
const path = require('path');
const { contrastFaults } = require('./contrast.cjs');

const [base, shots] = process.argv.slice(2);

function check(condition, what) {
  if (!condition) throw new Error('FAIL: ' + what);
  console.log('ok: ' + what);
}

async function looked(page, width, name) {
  if (shots) await page.screenshot({ path: path.join(shots, `${width}-${name}.png`), fullPage: true });
  const wide = await page.evaluate(() => document.documentElement.scrollWidth);
  check(wide <= width, `the ${name} page fits ${width} px (${wide} px)`);
  const contrast = await contrastFaults(page);
  check(contrast.faults.length === 0, `the ${name} page's contrast is WCAG AA (${contrast.measured} measured${contrast.faults.length ? ': ' + contrast.faults.join('; ') : ''})`);
}

async function run(browser, width) {
  const context = await browser.newContext({ viewport: { width, height: 900 } });
  const page = await context.newPage();
  page.setDefaultTimeout(15000);

  // The game's "unknown user": the page names the address and the form holds it.
  await page.goto(base + '/registrera/?mail=okand%40example.se');
  check((await page.textContent('.ok')).includes('okand@example.se'), 'the sign-up page says which address was not found');
  check(await page.inputValue('#email') === 'okand@example.se', 'the sign-up form is filled with it');
  await looked(page, width, 'signup-unknown');

  // A form whose token went out of date (its cookie gone): shown again with what was typed, never the password.
  await page.fill('#nickname', `Ny${width}`);
  await page.fill('#password', 'hemligt');
  await page.fill('#password2', 'hemligt');
  await context.clearCookies();
  await page.click('button.go');
  await page.waitForSelector('text=The form had expired');
  check(await page.inputValue('#email') === 'okand@example.se' && await page.inputValue('#nickname') === `Ny${width}`,
        'the expired form comes back with what was typed');
  check(await page.inputValue('#password') === '', 'but never with the password');
  await looked(page, width, 'signup-expired');
  await page.fill('#email', `ny${width}@example.se`);
  await page.fill('#password', 'hemligt');
  await page.fill('#password2', 'hemligt');
  await Promise.all([page.waitForURL('**/valkommen/'), page.click('button.go')]);
  check(true, 'sent again with its fresh token, it signs up');
  await looked(page, width, 'welcome');
  await context.clearCookies();

  // Wrong passwords until the channel asks for a pause: it says how long.
  await page.goto(base + '/logga-in/');
  await looked(page, width, 'login');
  let status = 0;
  for (let i = 0; i < 12 && status !== 429; i++) {
    await page.fill('#email', `ny${width}@example.se`);
    await page.fill('#password', 'fel-losen');
    const [res] = await Promise.all([page.waitForNavigation(), page.click('button.go')]);
    status = res.status();
    if (status === 401 && i === 0) {
      check((await page.textContent('#password-error')).includes('Wrong'), 'a wrong password is told by its field');
      check(await page.evaluate(() => document.activeElement.id) === 'password', 'with the focus on it');
      await looked(page, width, 'login-error');
    }
    if (status !== 429) await page.goto(base + '/logga-in/');
  }
  check(status === 429, 'too many wrong passwords: 429');
  check(await page.title() === 'För många försök / Too many attempts - Lumora', `the window's title is the heading's text (${await page.title()})`);
  const retry = await page.textContent('#retry');
  check(/Vänta \d+ (sekunder|minuter)/.test(retry) && /Wait \d+ (seconds|minutes)/.test(retry), `the 429 page says when to try again (${retry.trim()})`);
  await looked(page, width, 'too-many');
  await context.close();
}

(async () => {
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking'] });
  try {
    await run(browser, 1280);
    await run(browser, 390);
  } finally {
    await browser.close();
  }
})().catch((e) => {
  console.error(e.message || e);
  process.exit(1);
});
