// Benchmarks of the browser edition, each side by side with the smallest Emscripten page
// (reference.cpp, built here, now) in the same browser and run (on demand, never a test):
// the pages' sizes; navigation to the painted title screen; steps per second in a series
// against the frames the browser delivers, at its own 60 Hz and on an imitated 120 Hz display;
// CPU at the title prompt, in a box and between commands; the click's latency.
// Needs `make web` and `npm ci --prefix tests/web` first.
// usage: node bench/web/run.mjs [path/to/mikroteilchen.html] [--starts N] [--only start-up|120hz|lesson]
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const top = path.resolve(here, '../..');
const puppeteer = createRequire(path.join(top, 'tests/web/package.json'))('puppeteer-core');
const args = process.argv.slice(2);
const option = (name, fallback) => (args.includes(name) ? Number(args[args.indexOf(name) + 1]) : fallback);
const pagePath = path.resolve(args.find((a, i) => !a.startsWith('--') && !args[i - 1]?.startsWith('--'))
  ?? path.join(top, 'build/web/mikroteilchen.html'));
const starts = option('--starts', 11);
const only = args.includes('--only') ? args[args.indexOf('--only') + 1] : null;
const referencePath = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'mikroteilchen-bench-')), 'reference.html');
execFileSync('em++', ['-std=c++20', '-O2', '-sSINGLE_FILE=1', '-sENVIRONMENT=web', '-sMINIFY_HTML=0',
  `--shell-file=${here}/reference-shell.html`, path.join(here, 'reference.cpp'), '-o', referencePath],
{ env: { ...process.env, NODE_PATH: '/usr/share/nodejs' }, stdio: 'inherit' });

// The browsers. Each opens pages that answer the same few calls (goto, evaluate,
// evaluateOnNewDocument, waitForFunction, waitForSelector, click, keyboard, mouse, close);
// all that differs between them is here.
// A browser puppeteer drives, with what every engine answers: its name, its process, a page at
// the lesson's size, close.
async function viaPuppeteer(options) {
  const browser = await puppeteer.launch({ headless: true, ...options });
  const version = execFileSync(options.executablePath, ['--version'], { stdio: ['ignore', 'pipe', 'ignore'] });
  return {
    name: `headless ${version.toString().trim()}`,
    pid: browser.process().pid,
    newPage: async () => {
      const page = await browser.newPage();
      await page.setViewport({ width: 1024, height: 800 });
      return page;
    },
    close: () => browser.close(),
  };
}

const engines = {
  chromium: async () => {
    const engine = await viaPuppeteer({
      executablePath: '/usr/bin/chromium',
      args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
        '--disable-component-update', '--disable-sync'],
    });
    // Seconds the page's main thread has been busy so far, read through a function made now
    // (optional: where an engine cannot tell, only all its processes' CPU is given).
    engine.mainThreadClock = async page => {
      const session = await page.createCDPSession();
      await session.send('Performance.enable');
      return async () => (await session.send('Performance.getMetrics')).metrics.find(m => m.name === 'TaskDuration').value;
    };
    return engine;
  },
  // Over WebDriver BiDi; a mock audio device, so that its context runs without a sound card.
  firefox: () => viaPuppeteer({ browser: 'firefox', executablePath: '/usr/bin/firefox-esr',
    extraPrefsFirefox: { 'media.cubeb.force_mock_context': true } }),
};

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
const median = list => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
const gaps = list => list.slice(1).map((t, i) => t - list[i]);
const kib = file => `${(fs.statSync(file).size / 1024).toFixed(0)} KiB`;
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

// A 120 Hz display: animation frames every 8.3 ms, at multiples of the period on the page's clock.
const frames120 = () => {
  const period = 1000 / 120, waiting = new Map();
  let nextId = 1, timer = 0;
  const run = () => {
    timer = 0;
    const time = Math.floor(performance.now() / period) * period, due = [...waiting.values()];
    waiting.clear();
    for (const callback of due) {
      try { callback(time); } catch (error) { setTimeout(() => { throw error; }); }
    }
  };
  window.requestAnimationFrame = callback => {
    waiting.set(nextId, callback);
    timer ||= setTimeout(run, period - performance.now() % period);
    return nextId++;
  };
  window.cancelAnimationFrame = id => waiting.delete(id);
};

// Milliseconds from navigation to the first frame that shows the page painted.
async function paintedAfter(browser, file, painted) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(watchTexts);
  await page.goto(pathToFileURL(file).href);
  await page.waitForFunction(`(${painted})() && (window.paintedAt ??= performance.now())`, { polling: 'raf', ...wait });
  const at = await page.evaluate(() => window.paintedAt);
  await page.close();
  return at;
}
const titlePainted = () => window.texts?.some(e => e.text === 'Weiter ?  <RETURN>');

async function startUp(browser, row) {
  // Not counted: the first start of each, while the browser itself is still starting up.
  await paintedAfter(browser, pagePath, titlePainted);
  await paintedAfter(browser, referencePath, () => window.referencePainted);
  const ours = [], reference = [];
  for (let i = 0; i < starts; ++i) {   // interleaved, so that both see the same load
    ours.push(await paintedAfter(browser, pagePath, titlePainted));
    reference.push(await paintedAfter(browser, referencePath, () => window.referencePainted));
  }
  row('page size, program / reference', `${kib(pagePath)} / ${kib(referencePath)}`, '< 1536 KiB');
  row(`navigation to painted title / reference page (median of ${starts})`,
    `${median(ours).toFixed(0)} / ${median(reference).toFixed(0)} ms`, '< 1000 ms');
  row('ratio title / reference', `${(median(ours) / median(reference)).toFixed(2)} x`, '< 2 x');
}

// CPU of the page's main thread (where the engine tells it) and of every browser process (/proc).
const ticksPerSecond = Number(execFileSync('getconf', ['CLK_TCK']).toString());
function processTicks(rootPid) {
  const table = new Map();   // pid -> [parent, ticks]
  for (const pid of fs.readdirSync('/proc').filter(name => /^\d+$/.test(name))) {
    try {
      const fields = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
      table.set(pid, [fields[1], Number(fields[11]) + Number(fields[12])]);
    } catch { /* ended meanwhile */ }
  }
  const tree = new Set([String(rootPid)]);
  for (let grown = true; grown;) {
    grown = false;
    for (const [pid, [parent]] of table) if (tree.has(parent) && !tree.has(pid)) grown = tree.add(pid);
  }
  return [...tree].reduce((sum, pid) => sum + (table.get(pid)?.[1] ?? 0), 0);
}
// Measured once the state has settled: start-up work and the click's three seconds of sound
// readiness are over.
async function cpu(browser, page, what, row) {
  await sleep(4000);
  const busy = browser.mainThreadClock ? await browser.mainThreadClock(page) : null;
  const [busy0, ticks0, wall0] = [busy ? await busy() : 0, processTicks(browser.pid), performance.now()];
  await sleep(10000);
  const seconds = (performance.now() - wall0) / 1000;
  const all = (processTicks(browser.pid) - ticks0) / ticksPerSecond / seconds * 100;
  const main = busy ? `${(((await busy()) - busy0) / seconds * 100).toFixed(2)} % page thread, ` : '';
  row(`CPU ${what}`, `${main}${all.toFixed(1)} % all processes`, '< 2 % of a core');
}

// From the title prompt to the box that starts a series of ten intervals ("&3"), with a
// pause in each state the lesson rests in.
async function toSeries(page, rest = async () => {}) {
  await rest('at the title prompt');
  await page.keyboard.press('Enter');
  await page.waitForSelector('dialog.box[open]', wait);
  await rest('in a box');
  await page.click('dialog.box button');
  await page.waitForFunction(() => document.querySelector('dialog.box[open] .text')?.textContent.includes('Es soll'), wait);
  await page.keyboard.press('Enter');
  await page.mouse.click(500, 400);
  await sleep(500);
  await rest('between commands');
  await page.keyboard.down('Alt');
  await page.keyboard.press('KeyE');
  await page.keyboard.up('Alt');
  await page.keyboard.press('Digit3');
  await page.waitForFunction(() => document.querySelector('dialog.box[open] .text')?.textContent.includes('Laufende'), wait);
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.querySelector('dialog.box[open] .text')?.textContent === 'Neue Versuchsreihe!', wait);
  await page.evaluate(() => { window.seriesFrom = texts.length; });
}
// Each step's number is drawn once, so its times are the steps'. Runs until `intervals` of the
// series have ended.
async function seriesSteps(page, intervals) {
  await page.keyboard.press('Enter');
  await page.waitForFunction(n => texts.slice(seriesFrom).filter(e => e.text === 'Mittelwert:').length >= n, wait, intervals);
  const steps = await page.evaluate(() => texts.slice(seriesFrom).filter(e => /^\d+ {2}$/.test(e.text)).map(e => e.at));
  const within = gaps(steps).filter(gap => gap < 100);   // between interval ends
  return { withinInterval: 1000 / median(within), overall: (steps.length - 1) / ((steps.at(-1) - steps[0]) / 1000) };
}
// The reference page's steps: one number per animation frame.
async function referenceSteps(browser, setUp) {
  const page = await browser.newPage();
  if (setUp)
    await page.evaluateOnNewDocument(setUp);
  await page.goto(pathToFileURL(referencePath).href);
  await page.waitForFunction(() => window.referencePainted, wait);
  await page.evaluate(() => Module._runSteps(300));
  await page.waitForFunction(() => window.referenceSteps?.length >= 300, wait);
  const steps = await page.evaluate(() => window.referenceSteps);
  await page.close();
  return 1000 / median(gaps(steps));
}

async function stepsAt120Hz(browser, row) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(watchTexts);
  await page.evaluateOnNewDocument(frames120);
  await page.goto(pathToFileURL(pagePath).href);
  await page.waitForFunction(titlePainted, wait);
  await toSeries(page);
  const ours = await seriesSteps(page, 3);
  await page.close();
  row('steps per second at 120 Hz (imitated), within an interval / reference page (a step a frame)',
    `${ours.withinInterval.toFixed(1)} / ${(await referenceSteps(browser, frames120)).toFixed(1)}`, '60 ± 5 %');
}

// The lesson's idle states, a series at the browser's own frame rate, and its clicks.
async function lesson(browser, row) {
  const yardstick = await browser.newPage();
  await yardstick.goto(pathToFileURL(referencePath).href);
  await cpu(browser, yardstick, 'with the reference page', row);
  await yardstick.close();

  const page = await browser.newPage();
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
  await toSeries(page, what => cpu(browser, page, what, row));
  await page.evaluate(() => {
    window.frameTimes = [];
    const play = pageSound.play.bind(pageSound);
    pageSound.play = name => { window.lastRegistration = performance.now(); play(name); };
    const frame = time => { frameTimes.push(time); requestAnimationFrame(frame); };
    requestAnimationFrame(frame);
  });
  const ours = await seriesSteps(page, 10);
  const { frames, clicks } = await page.evaluate(() => ({ frames: frameTimes, clicks: clickStarts }));
  row('steps per second at the browser\'s rate, within an interval / reference page (a step a frame)',
    `${ours.withinInterval.toFixed(1)} / ${(await referenceSteps(browser)).toFixed(1)}`, 'frame rate ± 5 %');
  row('steps per second over the series (interval ends included)', ours.overall.toFixed(1));
  row('frames per second rAF delivers (median gap)', (1000 / median(gaps(frames))).toFixed(1));

  const series = clicks.filter(c => c.registered !== undefined);
  const toStart = series.map(c => c.at - c.registered);
  const audible = series.filter(c => c.outputAt > 0).map(c => c.outputAt + (c.time - c.outputTime) * 1000 - c.registered);
  row('clicks measured', `${series.length}`);
  row('registration -> start() (median, max)', `${median(toStart).toFixed(3)} ms, ${Math.max(...toStart).toFixed(3)} ms`);
  row('context base + output latency', `${(series[0].base * 1000).toFixed(1)} + ${(series[0].output * 1000).toFixed(1)} ms`);
  row('registration -> audible (output timestamp, median)', audible.length ? `${median(audible).toFixed(1)} ms` : 'no output timestamp');
  await page.close();
}

for (const [engine, launch] of Object.entries(engines)) {
  const rows = [];
  const row = (what, value, goal = '') => rows.push([what, value, goal]);
  const browser = await launch();
  try {
    for (const [name, measure] of [['start-up', startUp], ['120hz', stepsAt120Hz], ['lesson', lesson]])
      if (!only || only === name)
        await measure(browser, row);
  } finally {
    await browser.close();
  }
  const width = Math.max(...rows.map(r => r[0].length)), valueWidth = Math.max(...rows.map(r => r[1].length));
  console.log(`\n${engine}: ${browser.name}, ${os.cpus().length} cores, load average ${os.loadavg().map(l => l.toFixed(2)).join(' ')}\n`);
  for (const [what, value, goal] of rows) console.log(`${what.padEnd(width)}  ${value.padEnd(valueWidth)}  ${goal}`);
}
