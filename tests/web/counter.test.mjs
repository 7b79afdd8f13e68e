// A Geiger counter at the browser's microphone, in Chromium: a made-up recording with known
// clicks (make_click_train) is the fake microphone, the page listens with #zaehlrohr&protokoll,
// a ten-interval series runs and Ctrl+S saves its table, and check_counter_run.py holds every
// click counted and every interval's count against the recording. (Without a microphone the
// box says so and the lesson is simulated: the Chromium lesson, lesson.test.mjs, runs that way.)
// usage: node counter.test.mjs path/to/make_click_train [path/to/mikroteilchen.html]
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readdirSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { driving, hooks, launch } from './engines.mjs';

const [makeClickTrain, pagePath = fileURLToPath(new URL('../../build/web/mikroteilchen.html', import.meta.url))] = process.argv.slice(2);
const folder = mkdtempSync(join(tmpdir(), 'zaehlrohr-'));
const recording = join(folder, 'zaehlrohr.wav'), onsets = join(folder, 'onsets.txt'), log = join(folder, 'zaehlrohr.log');

test('a counter at the microphone registers the lesson (Chromium)', { timeout: 240000 }, async t => {
  writeFileSync(onsets, execFileSync(makeClickTrain, [recording, '5', '48000', '60']));
  const page = await launch('chromium', ['--use-fake-ui-for-media-stream', '--use-fake-device-for-media-stream',
    `--use-file-for-fake-audio-capture=${recording}`]);
  t.after(() => page.close());
  const lines = [];
  page.puppeteer.on('console', message => message.text().startsWith('zaehlrohr: ') && lines.push(message.text().slice(11)));
  await (await page.puppeteer.createCDPSession()).send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
  await page.viewport(1024, 800);
  await page.open(`${pathToFileURL(pagePath).href}#zaehlrohr&protokoll`, hooks);
  const { until, press, click, clickOn, drawn, openBox, answer } = driving(page);

  assert.deepEqual(await until(() => document.querySelector('meter') && [document.querySelector('meter').parentElement.textContent,
    document.querySelector('meter').getAttribute('aria-label')]), ['Zählrohr', 'Eingangspegel']);
  await drawn('Weiter ?  <RETURN>');
  await press('Enter');
  // The start box and the theory box answered, a click to begin and EXPERIMENT's 3: from the
  // demonstration's second pass on the counter registers, and the program clicks no more.
  for (let box = 0; box < 2; ++box)
    await openBox().then(() => answer(() => press('Enter')));
  await click(500, 400);
  await clickOn('#menubar > div:nth-child(2) .title');
  await press('3');
  await openBox();
  const [clicksBefore] = await until(() => [seen.clicks + seen.unheard]);
  await answer(() => press('Enter'));
  assert.deepEqual((await openBox()).lines, ['Neue Versuchsreihe!']);
  await answer(() => press('Enter'));
  await drawn('Zahl der Versuche n:10');
  assert.equal(await until(() => [seen.clicks + seen.unheard]).then(([n]) => n), clicksBefore);
  await page.key('down', 'Control').then(() => press('s')).then(() => page.key('up', 'Control'));
  let table;
  while (!(table = readdirSync(folder).find(name => name.endsWith('.csv'))))
    await new Promise(resolve => setTimeout(resolve, 100));
  writeFileSync(log, `${lines.join('\n')}\n`);
  t.diagnostic(execFileSync('python3', [fileURLToPath(new URL('../counter/check_counter_run.py', import.meta.url)),
    recording, onsets, log, join(folder, table)], { encoding: 'utf8' }).trim());
});
