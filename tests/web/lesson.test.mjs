// The browser edition's lesson in one real browser: headless Chromium opens the built page
// from its file:// address (no server) and a class's steps are taken through it.
// usage: node lesson.test.mjs [path/to/mikroteilchen.html]
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const pagePath = process.argv[2] ?? fileURLToPath(new URL('../../build/web/mikroteilchen.html', import.meta.url));
const title = 'Statistik von zufälligen Mikroteilchen';
const wait = { timeout: 90000 };

test('a lesson in the browser edition', { timeout: 280000 }, async t => {
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
  t.after(() => browser.close());
  const page = await browser.newPage();
  const pageErrors = [];   // none may occur
  page.on('pageerror', error => pageErrors.push(error.message));
  await page.setViewport({ width: 1024, height: 800 });
  // Seen where the page meets the browser: every text written on a canvas, with the clicks
  // started before it, so that a count shown can be checked against the clicks heard. A click
  // started on an audio context that is not running is not heard. Waking a context takes
  // half a second here, as it may on a slow device.
  await page.evaluateOnNewDocument(() => {
    const seen = window.seen = { texts: [], clicks: 0, unheard: 0 };
    const { fillText } = CanvasRenderingContext2D.prototype, { start } = AudioBufferSourceNode.prototype;
    const { resume } = AudioContext.prototype;
    CanvasRenderingContext2D.prototype.fillText = function (text, ...rest) {
      seen.texts.push({ text, clicks: seen.clicks });
      return fillText.call(this, text, ...rest);
    };
    AudioBufferSourceNode.prototype.start = function (...args) {
      this.context.state === 'running' ? ++seen.clicks : ++seen.unheard;
      return start.apply(this, args);
    };
    AudioContext.prototype.resume = function () { return new Promise(r => setTimeout(r, 500)).then(() => resume.call(this)); };
  });
  await page.goto(pathToFileURL(pagePath).href);

  const drawn = text => page.waitForFunction(t => seen.texts.some(e => e.text === t), wait, text);
  const texts = () => page.evaluate(() => seen.texts);
  const means = async () => (await texts()).filter(e => e.text === 'Mittelwert:');
  const openBox = async () => {
    const box = await page.waitForSelector('dialog.box[open]', wait);
    return { box, ...await box.evaluate(d => ({ caption: d.querySelector('header').textContent,
      lines: d.querySelector('.text').textContent.split('\n'), buttons: [...d.querySelectorAll('button')].map(b => b.textContent) })) };
  };
  const answer = async ({ box }, how) => {
    await how();
    await page.waitForFunction(d => !d.isConnected, wait, box);
  };


  // Then a teacher who uses only the mouse: the menu answers the prompt, the buttons the boxes.
  await t.test('the title screen is painted; with the mouse alone the demonstration is heard', async () => {
    await drawn('Weiter ?  <RETURN>');
    await drawn('Erstellt mit C++ und WebAssembly');
    assert.equal(await page.title(), title);
    await page.click('#menubar > div:nth-child(2) .title');
    await (await page.$$('#menubar .menu:not([hidden]) .entry'))[0].click();
    for (let box = 0; box < 2; ++box)
      await answer(await openBox(), () => page.click('dialog.box button'));
    await page.waitForFunction(() => seen.clicks > 0, wait);
    await page.reload();
    await drawn('Weiter ?  <RETURN>');
  });

  await t.test('a click gives the start box, then the theory box, each with its button focused', async () => {
    await page.mouse.click(500, 400);
    const start = await openBox();
    assert.deepEqual([start.caption, start.lines[3], start.buttons, await start.box.evaluate(d => d.querySelector('button') === document.activeElement)],
      [title, ' Mit beiden Maustasten gleichzeitig', [' OK '], true]);
    await answer(start, () => page.keyboard.press('Enter'));
    const theory = await openBox();
    assert.deepEqual([theory.lines[1], await theory.box.evaluate(d => d.querySelector('button') === document.activeElement)], [' Es soll die Statistik von zufällig erzeugten Mikroteilchen', true]);
    await answer(theory, () => page.keyboard.press('Enter'));
    await page.mouse.click(500, 400);   // the class has read it: a click starts the lesson
  });

  await t.test('Alt+E opens EXPERIMENT; its 3 runs the demonstration, then ten intervals', async () => {
    await page.keyboard.down('Alt').then(() => page.keyboard.press('KeyE')).then(() => page.keyboard.up('Alt'));
    const entries = await page.$$eval('#menubar .menu:not([hidden]) .entry', list => list.map(e => e.textContent));
    assert.deepEqual(entries, ['1 Demo-Experiment', '2 Neues Experiment / 1 x wiederholen', '3 Experiment 10 x wiederholen']);
    await page.keyboard.press('Digit3');
    const halt = await openBox();
    assert.ok(halt.lines.includes(' Laufende Mikroteilchen sind nicht'), halt.lines.join('|'));
    await answer(halt, () => page.keyboard.press('Enter'));
    const series = await openBox();
    assert.deepEqual(series.lines, ['Neue Versuchsreihe!']);
    await new Promise(resolve => setTimeout(resolve, 3500));   // the audio context rests
    const clicksAtStart = await page.evaluate(() => seen.clicks);
    const meansBefore = (await means()).length;
    await answer(series, () => page.keyboard.press('Enter'));
    const intervalsEnded = n => page.waitForFunction((before, n) =>
      seen.texts.filter(e => e.text === 'Mittelwert:').length >= before + n, wait, meansBefore, n);

    // A smaller window during the run: the canvas keeps its pixels, shown scaled, and counting goes on.
    await intervalsEnded(1);
    await page.setViewport({ width: 800, height: 650 });
    await page.waitForFunction(() => document.getElementById('drawing').style.width === '800px', wait);
    await intervalsEnded(3);
    assert.equal(await page.evaluate(() => document.getElementById('drawing').width), 1024);
    await page.setViewport({ width: 1024, height: 800 });

    // Both mouse buttons end the interval under way, well into its steps.
    await page.waitForFunction(() => {
      const list = seen.texts, last = list.findLastIndex(e => e.text === 'Mittelwert:');
      return list.slice(last).some(e => /^\d+ {2}$/.test(e.text) && parseInt(e.text) >= 30);
    }, wait);
    const meansAtPress = (await means()).length;
    await page.mouse.move(500, 400);
    for (const step of ['down', 'up']) for (const button of ['left', 'right']) await page.mouse[step]({ button });
    await intervalsEnded(meansAtPress - meansBefore + 1);
    const all = await texts();
    const ends = all.flatMap((e, i) => (e.text === 'Mittelwert:' ? [i] : []));
    const pressedInterval = all.slice(ends[meansAtPress - 1], ends[meansAtPress]);
    const lastStep = Math.max(...pressedInterval.filter(e => /^\d+ {2}$/.test(e.text)).map(e => parseInt(e.text)));
    assert.ok(lastStep >= 30 && lastStep < 100, `the pressed interval ended at step ${lastStep}`);

    await drawn('Zahl der Versuche n:10');
    // Each interval's registrations are the clicks started at the Web Audio layer during it.
    const seriesMeans = (await means()).slice(meansBefore);
    const counts = seriesMeans.map((e, i) => e.clicks - (i ? seriesMeans[i - 1].clicks : clicksAtStart));
    const final = await texts();
    const meanText = final[final.findLastIndex(e => e.text === 'Mittelwert:') + 2].text.trim();
    const clicksHeard = (await page.evaluate(() => seen.clicks)) - clicksAtStart;
    assert.equal(clicksHeard, Math.round(parseFloat(meanText.replace(',', '.')) * 10), `mean ${meanText}`);
    assert.deepEqual([counts.length, counts.reduce((a, b) => a + b), await page.evaluate(() => seen.unheard)], [10, clicksHeard, 0]);

    // The red points: count k's measured point, a red disc of radius 4 around logical
    // (100 + 6k, 100 - 4h) for its frequency h. Counts 0 and above 20 have none.
    const points = await page.evaluate(() => {
      const canvas = document.getElementById('drawing'), { width, height } = canvas, found = {};
      const data = canvas.getContext('2d').getImageData(0, 0, width, height).data;
      const red = (x, y) => data[4 * (y * width + x)] === 255 && data[4 * (y * width + x) + 1] === 0 && data[4 * (y * width + x) + 2] === 0;
      for (let k = 1; k <= 20; ++k) {
        for (let h = 1; h <= 10; ++h) {
          const cx = Math.trunc((100 + 6 * k) * width / 320), cy = Math.trunc((100 - 4 * h) * height / 200);
          let n = 0;
          for (let y = cy - 4; y <= cy + 4; ++y) for (let x = cx - 4; x <= cx + 4; ++x) n += red(x, y);
          if (n < 30) continue;
          found[k] = h;
          let rim = 0;   // the 16 pixels that only the disc rule dx² + dy² <= r² + r colours; overlaps hide a few
          for (let dy = -4; dy <= 4; ++dy) for (let dx = -4; dx <= 4; ++dx) rim += dx * dx + dy * dy > 16 && dx * dx + dy * dy <= 20 && red(cx + dx, cy + dy);
          found.rim = Math.min(found.rim ?? 16, rim);
        }
      }
      return found;
    });
    assert.ok(points.rim >= 6, `red on the discs' rim: ${points.rim} of 16`);
    delete points.rim;
    const expected = {};
    for (const count of counts) if (count >= 1 && count <= 20) expected[count] = (expected[count] ?? 0) + 1;
    assert.deepEqual(points, expected, `counts per interval: ${counts}`);
  });

  await t.test('DESK, Quit ends the program and the page says so', async () => {
    await page.click('#menubar > div:first-child .title');
    await page.click('#menubar .menu:not([hidden]) .entry');
    await page.waitForFunction(() => /\b(ended|failed)\b/.test(document.body.className), wait);
    assert.ok(await page.$eval('#ended', p => getComputedStyle(p).display !== 'none'));
    assert.deepEqual(pageErrors, []);
  });
});
