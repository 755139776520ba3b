// Drives Debian's Chromium through the channel's pages with Playwright.
// node channel_flow.cjs BASE PROFILE_DIR SHOTS_DIR signup
//   signs Elsa up (through the rival's recruiting link), logs out and in, opens the challenge page, reads
//   the leaderboard, and finds every page fitting a phone and every score showing at both widths; with
//   SHOTS_DIR, screenshots every page at desktop and phone widths.
// node channel_flow.cjs BASE PROFILE_DIR SHOTS_DIR leaderboard NICKNAME SCORE [verified]
//   finds NICKNAME with SCORE on today's leaderboard; with "verified", marked so and its run playing.
// node channel_flow.cjs BASE PROFILE_DIR SHOTS_DIR join EMAIL NICKNAME PASSWORD [URL]
//   signs a member up through the sign-up page; with URL, the page the game opened, which must offer EMAIL.
// node channel_flow.cjs BASE PROFILE_DIR SHOTS_DIR reset EMAIL MAIL_DIR
//   asks for a password link for EMAIL, opens it from the mail the relay wrote to MAIL_DIR and sets a new
//   password, at desktop and phone widths, every page fitting and of WCAG AA contrast; a used link is
//   refused.
// node channel_flow.cjs BASE PROFILE_DIR SHOTS_DIR banned EMAIL PASSWORD
//   finds the log-in of a banned member refused by its field.
'use strict';
const { chromium } = require('playwright-core');
const { contrastFaults } = require('./contrast.cjs');
const fs = require('fs');
const path = require('path');

const [base, profile, shots, mode, ...rest] = process.argv.slice(2);

function check(condition, what) {
  if (!condition) throw new Error('FAIL: ' + what);
  console.log('ok: ' + what);
}

async function withBrowser(viewport, body) {
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    viewport,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  try {
    const page = context.pages()[0] || await context.newPage();
    page.setDefaultTimeout(15000);
    return await body(page, context);
  } finally {
    await context.close();
  }
}

async function shoot(page, name) {
  if (!shots) return;
  await page.screenshot({ path: path.join(shots, name + '.png'), fullPage: true });
}

// Every score of every leaderboard lies wholly inside its board: long nicknames wrap, scores never hide.
async function scoresShow(page, width) {
  const cells = await page.$$eval('.boards td.num', (tds) => tds.map((td) => {
    const cell = td.getBoundingClientRect();
    const board = td.closest('section').getBoundingClientRect();
    return { text: td.innerText, inside: cell.width > 0 && cell.left >= board.left && cell.right <= board.right + 0.5 };
  }));
  check(cells.length > 0 && cells.every((c) => c.inside), `every score shows in full at ${width} px (${cells.length} cells)`);
}

async function signup() {
  await withBrowser({ width: 1280, height: 900 }, async (page, context) => {
    // The rival's recruiting link, from the rival's challenge page: an opaque code, no address.
    await page.goto(base + '/logga-in/?next=/useradm/challenge/');
    await page.fill('#email', 'rival@example.se');
    await page.fill('#password', 'hemligt');
    await Promise.all([page.waitForURL('**/useradm/challenge/'), page.click('button.go')]);
    const link = (await page.textContent('#recruit-link')).trim();
    check(/\/registrera\/\?ref=[0-9a-f]{16}$/.test(link) && !link.includes('rival'), 'the recruiting link carries a code, not the address');
    await context.clearCookies();

    await page.goto(link);
    await shoot(page, 'desktop-signup');
    check(await page.inputValue('#recruiter') === link.split('ref=')[1], 'the recruiting link fills in the recruiter');
    check((await page.textContent('#recruited-by')).includes('Rival <3'), 'the sign-up page names the recruiter');
    // A mistake first: the passwords differ, and the page says so in both languages.
    await page.fill('#email', 'elsa@example.se');
    await page.fill('#nickname', 'Elsa');
    await page.fill('#password', 'sn\u00f6boll');
    await page.fill('#password2', 'snoboll');
    await page.click('button.go');
    check((await page.textContent('#password2-error')).includes('The passwords differ'), 'differing passwords are refused by their field');
    check(await page.evaluate(() => document.activeElement.id) === 'password2', 'the focus is on the field in error');
    await shoot(page, 'desktop-signup-error');
    check(await page.inputValue('#email') === 'elsa@example.se', 'the address is kept after a mistake');
    await page.fill('#password', 'sn\u00f6boll');
    await page.fill('#password2', 'sn\u00f6boll');
    await Promise.all([page.waitForURL('**/valkommen/'), page.click('button.go')]);
    check((await page.textContent('.who')) === 'Elsa', 'signed up and logged in as Elsa');
    const steps = await page.textContent('ol.steps');
    check(steps.includes('Registrera high-score') && steps.includes('elsa@example.se'), 'after sign-up the page says what to do next');
    await shoot(page, 'desktop-welcome');
    await page.goto(base + '/useradm/challenge/');
    const cookies = await context.cookies();
    const session = cookies.find((c) => c.name === 'tundrix_session');
    check(session && session.httpOnly && session.sameSite === 'Lax', 'the session cookie is HttpOnly and SameSite');
    const own = await page.textContent('#recruit-link');
    check(own.includes('/registrera/?ref=') && !own.includes('elsa') && !own.includes('%40'),
          "the challenge page shows Elsa's own recruiting link");
    await shoot(page, 'desktop-challenge');

    await Promise.all([page.waitForURL(base + '/'), page.click('nav button')]);
    check(!(await page.isVisible('.who')), 'logged out');
    await page.goto(base + '/useradm/challenge/');
    check(page.url().includes('/logga-in/'), 'the challenge page asks for a log-in');
    await shoot(page, 'desktop-login');
    await page.fill('#email', 'elsa@example.se');
    await page.fill('#password', 'sn\u00f6boll');
    await Promise.all([page.waitForURL('**/useradm/challenge/'), page.click('button.go')]);
    check((await page.textContent('h1')).includes('Utmana dina v\u00e4nner'), 'logged in again, on the challenge page');

    // The rival sees Elsa as a recruit.
    await context.clearCookies();
    await page.goto(base + '/logga-in/?next=/useradm/challenge/');
    await page.fill('#email', 'rival@example.se');
    await page.fill('#password', 'hemligt');
    await Promise.all([page.waitForURL('**/useradm/challenge/'), page.click('button.go')]);
    check((await page.textContent('#recruits')).includes('Elsa'), "Elsa is on the rival's list of recruits");

    await page.goto(base + '/');
    const today = await page.textContent('#today');
    check(today.includes('Rival <3') && today.includes('1234'), "the rival's score is on today's leaderboard");
    check(!(await page.content()).includes('rival@example.se'), 'no e-mail address on the leaderboard');
    await scoresShow(page, 1280);
    await shoot(page, 'desktop-home');
    for (const [name, url] of [['getpass', '/getpass.asp?mail=elsa%40example.se'], ['dll', '/dll/'],
                               ['version', '/version.asp?gameid=3']]) {
      await page.goto(base + url);
      await shoot(page, 'desktop-' + name);
    }
  });
  await withBrowser({ width: 390, height: 844 }, async (page) => {
    for (const [name, url] of [['home', '/'], ['signup', '/registrera/'], ['login', '/logga-in/'], ['welcome', '/valkommen/'],
                               ['challenge', '/useradm/challenge/'], ['getpass', '/getpass.asp?mail=elsa%40example.se'],
                               ['dll', '/dll/'], ['version', '/version.asp?gameid=3']]) {
      await page.goto(base + url);
      const wide = await page.evaluate(() => document.documentElement.scrollWidth);
      check(wide <= 390, `the ${name} page fits a phone's width (${wide} px)`);
      if (name === 'home') await scoresShow(page, 390);
      await shoot(page, 'phone-' + name);
    }
  });
}

async function join(email, nickname, password, offered) {
  await withBrowser({ width: 1280, height: 900 }, async (page) => {
    await page.goto(offered || base + '/registrera/');
    if (offered) {
      // The game was just told the address is no member's: its page says so and is filled with it.
      check(await page.inputValue('#email') === email, `the page the game opened offers ${email}`);
      check((await page.textContent('[role=status]')).includes(`The address ${email} is not a member here yet`),
        'and says the address is not a member yet');
      await shoot(page, 'offered-signup');
    } else {
      await page.fill('#email', email);
    }
    await page.fill('#nickname', nickname);
    await page.fill('#password', password);
    await page.fill('#password2', password);
    await Promise.all([page.waitForURL('**/valkommen/'), page.click('button.go')]);
    check((await page.textContent('.who')) === nickname, `${nickname} signed up through the page`);
  });
}

async function leaderboard(nickname, score, verified) {
  await withBrowser({ width: 1280, height: 900 }, async (page) => {
    await page.goto(base + '/');
    const rows = await page.$$eval('#today tbody tr', (trs) => trs.map((tr) => {
      const run = tr.querySelector('a.run');
      return { nick: tr.querySelector('td.nick').innerText, score: tr.querySelector('td.num').firstChild.textContent.replace(/[^0-9]/g, ''),
               run: run ? run.getAttribute('href') : null };
    }));
    console.log('today: ' + JSON.stringify(rows));
    const row = rows.find((r) => r.nick === nickname && r.score === score);
    check(row, `${nickname} with ${score} is on today's leaderboard`);
    if (verified === 'verified') {
      // Verified: the channel played the game again, and its run plays in the browser.
      check(row.run, `${nickname}'s score is marked verified with a link to its run`);
      const gif = await page.goto(base + row.run);
      check(gif.status() === 200 && gif.headers()['content-type'] === 'image/gif', 'the run is an animated picture');
      const size = await page.evaluate(() => { const i = document.querySelector('img'); return i ? [i.naturalWidth, i.naturalHeight] : null; });
      check(size && size[0] === 440 && size[1] === 300, `the browser shows the run at 440 x 300 (${size})`);
      if (shots) await shoot(page, 'run');
      await page.goto(base + '/');
    }
    if (shots) await shoot(page, 'desktop-home-after');
  });
}

// The link of the count-th mail in the relay's folder, on this server, once the mail is there.
async function mailedLink(mailDir, count) {
  const file = path.join(mailDir, count + '.txt');
  for (let i = 0; i < 500 && !fs.existsSync(file); ++i) await new Promise((r) => setTimeout(r, 10));
  check(fs.existsSync(file), `mail ${count} arrived`);
  const found = /https?:\/\/[^/\s]+(\/nytt-losenord\/\?t=[0-9a-f]{64})/.exec(fs.readFileSync(file, 'utf8'));
  check(found, `mail ${count} holds a link to a new password`);
  return base + found[1];
}

async function reset(email, mailDir) {
  const sizes = [[{ width: 1280, height: 900 }, 'desktop', 'nytt-pw1'], [{ width: 390, height: 844 }, 'phone', 'sn\u00f6boll']];
  for (const [[viewport, name, password], count] of sizes.map((s, i) => [s, i + 1])) {
    await withBrowser(viewport, async (page, context) => {
      await context.clearCookies();
      const fits = async (what) => {
        const wide = await page.evaluate(() => document.documentElement.scrollWidth);
        check(wide <= viewport.width, `the ${what} page fits ${viewport.width} px (${wide} px)`);
        const contrast = await contrastFaults(page);
        check(contrast.faults.length === 0, `the ${what} page's contrast is WCAG AA (${contrast.measured} measured${contrast.faults.length ? ': ' + contrast.faults.join('; ') : ''})`);
        await shoot(page, `${name}-${what}`);
      };
      // The page the game opens after "wrong password", with the address filled in.
      await page.goto(base + '/getpass.asp?mail=' + encodeURIComponent(email));
      check(await page.inputValue('#email') === email, 'the password page has the address from the game');
      await fits('reset-ask');
      await page.click('button.go');
      check((await page.textContent('p[role="status"]')).includes('a mail is on its way'), 'the channel says a mail may be on its way');
      await fits('reset-sent');
      const link = await mailedLink(mailDir, count);
      await page.goto(link);
      if (count === 1) {
        await page.fill('#password', password);
        await page.fill('#password2', password + 'x');
        await page.click('button.go');
        check((await page.textContent('#password2-error')).includes('differ'), 'differing new passwords are refused by their field');
        check(await page.evaluate(() => document.activeElement.id) === 'password2', 'the focus is on the field in error');
        await fits('reset-error');
      }
      await fits('reset-form');
      await page.fill('#password', password);
      await page.fill('#password2', password);
      await Promise.all([page.waitForURL('**/mina-sidor/?klart=losenord'), page.click('button.go')]);
      check((await page.textContent('main')).includes('Your password is changed'), 'the new password is set and the member logged in');
      const used = await page.goto(link);
      check(used.status() === 410, 'a used link is refused');
      await fits('reset-dead');
    });
  }
}

async function banned(email, password) {
  await withBrowser({ width: 1280, height: 900 }, async (page, context) => {
    await context.clearCookies();
    await page.goto(base + '/logga-in/');
    await page.fill('#email', email);
    await page.fill('#password', password);
    await page.click('button.go');
    check((await page.textContent('#email-error')).includes('closed'), "a banned member's log-in is refused by the address field");
    check(!(await page.isVisible('.who')), 'and nobody is logged in');
    await shoot(page, 'desktop-login-banned');
  });
}

const modes = { signup, join, leaderboard, reset, banned };
(modes[mode] || signup)(...rest).catch((e) => {
  console.error(e.message || e);
  process.exit(1);
});
