// The browser edition for keyboard users, screen readers and phones, checked where assistive
// technology looks: the page's accessibility tree, the focus, and boxes and menus on a phone.
// usage: node access.test.mjs [path/to/mikroteilchen.html]
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { driving, hooks, launch } from './engines.mjs';

const pagePath = process.argv[2] ?? fileURLToPath(new URL('../../build/web/mikroteilchen.html', import.meta.url));
const wait = { timeout: 90000 };

test('the page for keyboards, screen readers and phones', { timeout: 200000 }, async t => {
  const browser = await launch('chromium'), page = browser.puppeteer;
  t.after(() => browser.close());
  await browser.open(pathToFileURL(pagePath).href, hooks);
  const { drawn, press } = driving(browser);
  const keys = async (...names) => { for (const name of names) await press(name); };
  const ax = async selector => Promise.all((await page.$$(selector)).map(root => page.accessibility.snapshot({ root, interestingOnly: false })));
  const titles = async () => (await ax('#menubar .title')).map(n => [n.role, n.name, n.haspopup, n.expanded, n.focused ?? false]);
  await drawn('Weiter ?  <RETURN>');

  // The menu bar: F10 opens DESK on its first entry, Escape goes back to its title, a second
  // Escape gives the keys back to the program, whose title prompt then takes the Return.
  assert.deepEqual(await titles(), ['DESK', 'EXPERIMENT', 'HILFE'].map(name => ['menuitem', name, 'menu', false, false]));
  await keys('F10');
  const [quit] = await ax('#menubar .entry');
  assert.deepEqual([quit?.name, quit?.focused, (await titles())[0]], ['Quit', true, ['menuitem', 'DESK', 'menu', true, false]]);
  await keys('Escape');
  assert.deepEqual((await titles())[0], ['menuitem', 'DESK', 'menu', false, true]);
  await keys('Escape', 'Enter');

  // A box is named by its caption and described by its text.
  await page.waitForSelector('dialog[open]', wait);
  const shown = await page.$eval('dialog', d => ['dialog', d.querySelector('header').textContent, d.querySelector('.text').textContent.replace(/\s+/g, ' ').trim()]);
  assert.deepEqual((await ax('dialog')).map(box => [box.role, box.name, box.description]), [shown]);

  // On a phone the theory box keeps every line whole, as many line boxes as on a wide screen,
  // with no sideways scrolling; and menus stay on the screen.
  await keys('Enter');
  await page.waitForFunction(() => document.querySelector('dialog .text')?.textContent.includes('Poisson'), wait);
  const layout = () => page.$eval('dialog', d => {
    const content = d.querySelector('.content'), lines = document.createRange();
    lines.selectNodeContents(d.querySelector('.text'));
    return [content.scrollWidth - content.clientWidth, lines.getClientRects().length];
  });
  const [, wideLines] = await layout();
  await page.setViewport({ width: 390, height: 844 });
  await page.evaluate(() => new Promise(requestAnimationFrame));   // the page has taken the new size
  assert.deepEqual(await layout(), [0, wideLines]);
  await keys('Enter', 'Enter');   // the theory box read, the lesson starts
  await page.keyboard.down('Alt').then(() => keys('KeyE')).then(() => page.keyboard.up('Alt'));
  const menu = await page.$eval('#menubar .menu:not([hidden])', m => m.getBoundingClientRect().toJSON());
  assert.ok(menu.left >= 0 && menu.right <= 390, JSON.stringify(menu));

  // The drawing is a named picture, and once the demonstration's first pass (one interval) is
  // over, the live region says the mean and the n drawn.
  assert.deepEqual((await ax('#drawing')).map(n => [n.role, /Mikroteilchen/.test(n.name)]), [['image', true]]);
  await keys('Digit1');
  await page.waitForSelector('dialog[open]', wait);
  await keys('Enter');
  await drawn('Zahl der Versuche n:1');
  const texts = await page.evaluate(() => seen.texts.map(e => e.text)), mean = texts[texts.lastIndexOf('Mittelwert:') + 2].trim();
  assert.deepEqual([(await ax('[aria-live]'))[0]?.live, await page.$$eval('[aria-live] > *', l => l.map(e => e.textContent))],
    ['polite', [`Mittelwert: ${mean}`, 'Zahl der Versuche n:1']]);
});
