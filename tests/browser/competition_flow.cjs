// Drives Debian's Chromium through the competitions' pages with Playwright, at desktop and phone widths.
// node competition_flow.cjs BASE PROFILE_DIR SHOTS_DIR
//   finds the running competitions on the home page with their boards and the announcement, each
//   competition's rules as the game tells them and its standings with ties shown, the published winners,
//   and every page fitting a phone; with SHOTS_DIR, screenshots every page at both widths.
'use strict';
const { chromium } = require('playwright-core');
const path = require('path');
const { contrastFaults } = require('./contrast.cjs');

const [base, profile, shots] = process.argv.slice(2);

function check(condition, what) {
  if (!condition) throw new Error('FAIL: ' + what);
  console.log('ok: ' + what);
}

async function atWidth(width, body) {
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    viewport: { width, height: 900 },
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  try {
    const page = context.pages()[0] || await context.newPage();
    page.setDefaultTimeout(15000);
    await body(page);
  } finally {
    await context.close();
  }
}

async function visit(page, width, name, url) {
  const res = await page.goto(base + url);
  check(res.status() === 200, `${name} answers 200 at ${width} px`);
  if (shots) await page.screenshot({ path: path.join(shots, `${width}-${name}.png`), fullPage: true });
  const wide = await page.evaluate(() => document.documentElement.scrollWidth);
  const over = await page.$$eval('main *', (all, w) => all.filter((e) => e.getBoundingClientRect().right > w)
    .slice(0, 3).map((e) => e.tagName + '.' + e.className + ' ' + e.innerText.slice(0, 30)), width);
  check(wide <= width, `the ${name} page fits ${width} px (${wide} px${over.length ? '; wider: ' + over : ''})`);
  const contrast = await contrastFaults(page);
  check(contrast.faults.length === 0, `the ${name} page's contrast is WCAG AA throughout (${contrast.measured} measured${contrast.faults.length ? ': ' + contrast.faults.join('; ') : ''})`);
}

async function run(width) {
  await atWidth(width, async (page) => {
    await visit(page, width, 'home', '/');
    const running = await page.textContent('#competitions');
    check(running.includes('Klassens dagspris') && running.includes('Biobiljett'), 'the daily competition and its prize are on the home page');
    check((await page.textContent('#board-1')).includes('Rival <3'), "the daily competition's board shows today's scores");
    check(running.includes('V\u00e4rva flest'), 'the recruiting competition runs too');
    check((await page.textContent('.announcement')).includes('Finalen spelas p\u00e5 fredag'), 'the announcement is on the home page');
    check(!running.includes('Gammal t\u00e4vling'), 'an ended competition is not among the running ones');

    await visit(page, width, 'competition', '/tavling/1/');
    const rules = await page.textContent('.rules');
    // The game's own rules: membership, registering from the game, prizes drawn among the best, winners on the site.
    for (const words of ['medlem', 'Registrera high-score', 'lottas 2 priser ut bland de 3 b\u00e4sta', 'Vinnarna presenteras', 'bosatta i Sverige'])
      check(rules.includes(words), `the rules say "${words}"`);
    check((await page.textContent('main')).includes('Endast klass 7B.'), "the operator's own rules follow");
    const ranks = await page.$$eval('#board tbody tr', (trs) => trs.map((tr) => tr.querySelector('td.rank').innerText + ' ' + tr.querySelector('td.nick').innerText));
    console.log('board: ' + JSON.stringify(ranks));
    check(ranks.filter((r) => r.startsWith('=3 ')).length === 2, 'equal scores share their rank, marked "="');

    await visit(page, width, 'recruiting', '/tavling/2/');
    check((await page.textContent('#board')).includes('Rival <3'), 'the recruiter of the sign-up leads the recruiting board');
    check((await page.textContent('.rules')).includes('v\u00e4rvare'), 'the recruiting rules say how a recruit counts');

    await visit(page, width, 'winners', '/tavling/1/vinnare/');
    const winners = await page.$$eval('ol.winners li .nick', (lis) => lis.map((li) => li.innerText));
    check(winners.length === 2, `the published draw's two winners are shown (${winners})`);
    check((await page.textContent('main')).includes('draw-seed'), 'the seed of the draw is shown, so anyone can draw it again');
    // The whole board, a page at a time: today's, with everyone on it.
    await visit(page, width, 'board', '/topplista/idag/');
    const rows = await page.$$eval('#board tbody tr', (trs) => trs.map((tr) => tr.querySelector('td.nick').innerText));
    check(rows.includes('Rival <3') && rows.includes('J\u00e4mn'), `the whole board lists everyone (${rows.length} rows)`);
    check(!(await page.$('a[rel=next]')), 'a short board has no next page');
    const missing = await page.goto(base + '/tavling/999/');
    check(missing.status() === 404, 'no such competition: 404');
  });
}

(async () => {
  await run(1280);
  await run(390);
})().catch((e) => {
  console.error(e.message || e);
  process.exit(1);
});
