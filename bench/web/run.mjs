// Benchmarks of the browser edition, side by side in one headless Chromium (on demand, never
// a test): the page's size; navigation to the painted title screen against the smallest
// Emscripten page that paints a canvas (built here, now); steps per second in a series against
// the frames the browser delivers; CPU at the title prompt, in a box and between commands;
// the click's latency. Needs `make web` and `npm ci --prefix tests/web` first.
// usage: node bench/web/run.mjs [path/to/mikroteilchen.html]
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const top = path.resolve(here, '../..');
const puppeteer = createRequire(path.join(top, 'tests/web/package.json'))('puppeteer-core');
const pagePath = path.resolve(process.argv[2] ?? path.join(top, 'build/web/mikroteilchen.html'));
const referencePath = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'mikroteilchen-bench-')), 'reference.html');
execFileSync('em++', ['-std=c++20', '-O2', '-sSINGLE_FILE=1', '-sENVIRONMENT=web', '-sMINIFY_HTML=0',
  `--shell-file=${here}/reference-shell.html`, path.join(here, 'reference.cpp'), '-o', referencePath],
{ env: { ...process.env, NODE_PATH: '/usr/share/nodejs' }, stdio: 'inherit' });

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
const median = list => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
const kb = file => `${(fs.statSync(file).size / 1024).toFixed(0)} KiB`;
const rows = [];
const row = (what, value, goal = '') => rows.push([what, value, goal]);

const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync'],
});
const wait = { timeout: 120000 };

// Every text the page writes on a canvas, with its time: seen where the page meets the browser.
const watchTexts = () => {
  window.texts = [];
  const { fillText } = CanvasRenderingContext2D.prototype;
  CanvasRenderingContext2D.prototype.fillText = function (text, ...rest) {
    window.texts.push({ text, at: performance.now() });
    return fillText.call(this, text, ...rest);
  };
};

// Milliseconds from navigation to the first frame that shows the page painted.
async function paintedAfter(file, painted) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1024, height: 800 });
  await page.evaluateOnNewDocument(watchTexts);
  await page.goto(pathToFileURL(file).href);
  await page.waitForFunction(`(${painted})() && (window.paintedAt ??= performance.now())`, { polling: 'raf', ...wait });
  const at = await page.evaluate(() => window.paintedAt);
  await page.close();
  return at;
}
const titlePainted = () => window.texts?.some(e => e.text === 'Weiter ?  <RETURN>');
const ours = [], reference = [];
for (let i = 0; i < 5; ++i) {
  ours.push(await paintedAfter(pagePath, titlePainted));
  reference.push(await paintedAfter(referencePath, () => window.referencePainted));
}
row('mikroteilchen.html', kb(pagePath), '< 1536 KiB');
row('reference page (one canvas)', kb(referencePath));
row('navigation to painted title (median of 5)', `${median(ours).toFixed(0)} ms`, '< 1000 ms');
row('reference page painted (median of 5)', `${median(reference).toFixed(1)} ms`);
row('ratio title / reference', `${(median(ours) / median(reference)).toFixed(1)} x`);

// CPU of the page's main thread (CDP TaskDuration) and of every browser process (/proc).
const browserPid = browser.process().pid;
function processTicks() {
  const table = new Map();   // pid -> [parent, ticks]
  for (const pid of fs.readdirSync('/proc').filter(name => /^\d+$/.test(name))) {
    try {
      const fields = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
      table.set(pid, [fields[1], Number(fields[11]) + Number(fields[12])]);
    } catch { /* ended meanwhile */ }
  }
  const ours = new Set([String(browserPid)]);
  for (let grown = true; grown;) {
    grown = false;
    for (const [pid, [parent]] of table) if (ours.has(parent) && !ours.has(pid)) grown = ours.add(pid);
  }
  return [...ours].reduce((sum, pid) => sum + (table.get(pid)?.[1] ?? 0), 0);
}
const ticksPerSecond = Number(execFileSync('getconf', ['CLK_TCK']).toString());
// Measured once the state has settled: start-up work and the click's three seconds of sound
// readiness are over.
async function cpu(page, what) {
  await sleep(4000);
  const session = await page.createCDPSession();
  await session.send('Performance.enable');
  const busy = async () => (await session.send('Performance.getMetrics')).metrics.find(m => m.name === 'TaskDuration').value;
  const [task0, ticks0, wall0] = [await busy(), processTicks(), performance.now()];
  await sleep(10000);
  const seconds = (performance.now() - wall0) / 1000;
  const page_ = ((await busy()) - task0) / seconds * 100, all = (processTicks() - ticks0) / ticksPerSecond / seconds * 100;
  row(`CPU ${what}`, `${page_.toFixed(2)} % page thread, ${all.toFixed(1)} % all processes`, '< 2 % of a core');
}

const yardstick = await browser.newPage();
await yardstick.goto(pathToFileURL(referencePath).href);
await cpu(yardstick, 'with the reference page');
await yardstick.close();

const page = await browser.newPage();
await page.setViewport({ width: 1024, height: 800 });
await page.evaluateOnNewDocument(watchTexts);
// Each click as it starts: the context's clock and where its output is at that moment.
await page.evaluateOnNewDocument(() => {
  window.clickStarts = [];
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function (...args) {
    const context = this.context, stamp = context.getOutputTimestamp();
    window.clickStarts.push({ at: performance.now(), registered: window.lastRegistration, time: context.currentTime,
      outputTime: stamp.contextTime, outputAt: stamp.performanceTime, base: context.baseLatency, output: context.outputLatency });
    return start.apply(this, args);
  };
});
await page.goto(pathToFileURL(pagePath).href);
await page.waitForFunction(titlePainted, wait);
await cpu(page, 'at the title prompt');
await page.keyboard.press('Enter');
await page.waitForSelector('dialog.box[open]', wait);
await cpu(page, 'in a box');
await page.click('dialog.box button');
await page.waitForFunction(() => document.querySelector('dialog.box[open] .text')?.textContent.includes('Es soll'), wait);
await page.keyboard.press('Enter');
await page.mouse.click(500, 400);
await sleep(500);
await cpu(page, 'between commands');

// A series of ten intervals: every step's number is drawn once, so its times are the steps'.
await page.keyboard.down('Alt');
await page.keyboard.press('KeyE');
await page.keyboard.up('Alt');
await page.keyboard.press('Digit3');
await page.waitForFunction(() => document.querySelector('dialog.box[open] .text')?.textContent.includes('Laufende'), wait);
await page.keyboard.press('Enter');
await page.waitForFunction(() => document.querySelector('dialog.box[open] .text')?.textContent === 'Neue Versuchsreihe!', wait);
await page.evaluate(() => {
  window.seriesFrom = texts.length;
  window.frameTimes = [];
  const play = pageSound.play.bind(pageSound);
  pageSound.play = name => { window.lastRegistration = performance.now(); play(name); };
  const frame = time => { frameTimes.push(time); requestAnimationFrame(frame); };
  requestAnimationFrame(frame);
});
await page.keyboard.press('Enter');
await page.waitForFunction(() => texts.some(e => e.text === 'Zahl der Versuche n:10'), wait);
const { steps, frames, clicks } = await page.evaluate(() => ({ frames: frameTimes, clicks: clickStarts,
  steps: texts.slice(seriesFrom).filter(e => /^\d+ {2}$/.test(e.text)).map(e => e.at) }));
const gaps = list => list.slice(1).map((t, i) => t - list[i]);
const stepGaps = gaps(steps).filter(gap => gap < 100);   // within an interval
const frameRate = 1000 / median(gaps(frames));
row('steps per second within an interval (median gap)', `${(1000 / median(stepGaps)).toFixed(1)}`, `frame rate ± 5 %`);
row('steps per second over the series', `${((steps.length - 1) / ((steps.at(-1) - steps[0]) / 1000)).toFixed(1)}`);
row('frames per second rAF delivers (median gap)', frameRate.toFixed(1));

const series = clicks.filter(c => c.registered !== undefined);
const toStart = series.map(c => c.at - c.registered);
const audible = series.filter(c => c.outputAt > 0).map(c => c.outputAt + (c.time - c.outputTime) * 1000 - c.registered);
row('clicks measured', `${series.length}`);
row('registration -> start() (median, max)', `${median(toStart).toFixed(3)} ms, ${Math.max(...toStart).toFixed(3)} ms`);
row('context base + output latency', `${(series[0].base * 1000).toFixed(1)} + ${(series[0].output * 1000).toFixed(1)} ms`);
row('registration -> audible (output timestamp, median)', audible.length ? `${median(audible).toFixed(1)} ms` : 'no output timestamp');
await browser.close();

const width = Math.max(...rows.map(r => r[0].length)), valueWidth = Math.max(...rows.map(r => r[1].length));
const version = execFileSync('/usr/bin/chromium', ['--version'], { stdio: ['ignore', 'pipe', 'ignore'] }).toString().trim();
console.log(`\nBrowser edition in headless ${version}, ${os.cpus().length} cores\n`);
for (const [what, value, goal] of rows) console.log(`${what.padEnd(width)}  ${value.padEnd(valueWidth)}  ${goal}`);
