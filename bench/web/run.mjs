// Benchmarks of the browser edition, each side by side with the smallest Emscripten page
// (reference.cpp, built here, now) in the same browser and run (on demand, never a test):
// the pages' sizes; navigation to the frame that shows the title screen, with the start's
// milestones on the way; steps per second in a series against the frames the browser delivers,
// at its own 60 Hz and on an imitated 120 Hz display; CPU at the title prompt, in a box and
// between commands; the click's latency.
// In Chromium, Firefox and WebKit, each driven as the browser lesson drives it (tests/web/engines.mjs).
// Needs `make web` and `npm ci --prefix tests/web` first.
// usage: node bench/web/run.mjs [path/to/mikroteilchen.html] [--starts N] [--only start-up|120hz|lesson]
//                               [--engines chromium,firefox,webkit]
//
// What differs between the engines:
// - Hooks (the texts written, the 120 Hz frames, the clicks started) come before the page's own
//   scripts. Chromium and Firefox put them there themselves; WebKit's WebDriver cannot, so there
//   the page opened is a copy of the file with the same hooks as the first script of its head.
//   Both pages alike, so the start-up ratio is fair in each engine.
// - Chromium and Firefox run headless; WebKit (MiniBrowser) draws into a private Xvfb display.
// - CPU of all processes is the browser's process tree; in WebKit that is WebKitWebDriver's
//   (MiniBrowser with its web, network and GPU processes) and the Xvfb display it draws in.
// - The page thread's own busy time only Chromium tells (DevTools Protocol); the others show
//   no such figure.
// - WebKit's audio output timestamps run ahead of the page's clock, so there no click's audible
//   moment is given.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { driving, launch } from '../../tests/web/engines.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const top = path.resolve(here, '../..');
const args = process.argv.slice(2);
const option = (name, fallback) => (args.includes(name) ? args[args.indexOf(name) + 1] : fallback);
const pagePath = path.resolve(args.find((a, i) => !a.startsWith('--') && !args[i - 1]?.startsWith('--'))
  ?? path.join(top, 'build/web/mikroteilchen.html'));
const starts = Number(option('--starts', 11));
const only = option('--only', null);
const engineNames = option('--engines', 'chromium,firefox,webkit').split(',');
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'mikroteilchen-bench-'));
const referencePath = path.join(scratch, 'reference.html');
execFileSync('em++', ['-std=c++20', '-O2', '-sSINGLE_FILE=1', '-sENVIRONMENT=web', '-sMINIFY_HTML=0',
  `--shell-file=${here}/reference-shell.html`, path.join(here, 'reference.cpp'), '-o', referencePath],
{ env: { ...process.env, NODE_PATH: '/usr/share/nodejs' }, stdio: 'inherit' });

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
const median = list => [...list].sort((a, b) => a - b)[Math.floor(list.length / 2)];
const gaps = list => list.slice(1).map((t, i) => t - list[i]);
const kib = file => `${(fs.statSync(file).size / 1024).toFixed(0)} KiB`;
const load = () => os.loadavg().map(l => l.toFixed(2)).join(' ');

// Every text the page writes on a canvas, with its time: seen where the page meets the browser.
// The title's prompt (the reference page writes the same) also asks for the next animation
// frame in which its canvas is visible: the first that shows it, whenever it comes, before the
// page's load event or after.
const watchTexts = () => {
  window.texts = [];
  const { fillText } = CanvasRenderingContext2D.prototype;
  CanvasRenderingContext2D.prototype.fillText = function (text, ...rest) {
    window.texts.push({ text, at: performance.now(), canvas: this.canvas });
    if (text === 'Weiter ?  <RETURN>' && !window.titleFrame) {
      const canvas = this.canvas;
      window.titleFrame = new Promise(resolve => requestAnimationFrame(function shows() {
        if (getComputedStyle(canvas).visibility === 'visible')
          resolve(performance.now());
        else
          requestAnimationFrame(shows);
      }));
    }
    return fillText.call(this, text, ...rest);
  };
};

// The start's milestones on the page's clock: the WebAssembly instantiated, the first fill of a
// canvas, the document parsed and loaded. They show where a slow start loses its time.
const watchStart = () => {
  const at = window.startMarks = {};
  const mark = name => { at[name] ??= performance.now(); };
  const { instantiate } = WebAssembly;
  WebAssembly.instantiate = function (...args) {
    const result = instantiate.apply(this, args);
    result.then(() => mark('WebAssembly instantiated'));
    return result;
  };
  const { fillRect } = CanvasRenderingContext2D.prototype;
  CanvasRenderingContext2D.prototype.fillRect = function (...args) {
    const result = fillRect.apply(this, args);
    mark('first fill drawn');
    return result;
  };
  document.addEventListener('DOMContentLoaded', () => mark('document parsed'));
  addEventListener('load', () => mark('load event'));
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

// Each click as it starts: the context's clock and where its output is at that moment.
const watchClicks = () => {
  window.clickStarts = [];
  const { start } = AudioBufferSourceNode.prototype;
  AudioBufferSourceNode.prototype.start = function (...args) {
    const context = this.context, stamp = context.getOutputTimestamp?.() ?? {};
    window.clickStarts.push({ at: performance.now(), registered: window.lastRegistration, time: context.currentTime,
      outputTime: stamp.contextTime, outputAt: stamp.performanceTime, base: context.baseLatency, output: context.outputLatency });
    return start.apply(this, args);
  };
};

// Opens the page in the engine's one tab, with the hooks in place before the page's scripts.
const copies = new Map();   // hooked copies for engines that cannot put hooks first
async function open(engine, file, ...parts) {
  const hooks = new Function(parts.map(part => `(${part})();`).join('\n'));
  if (engine.hooksFirst)
    return engine.open(pathToFileURL(file).href, hooks);
  const key = `${file}\n${hooks}`;
  if (!copies.has(key)) {
    copies.set(key, path.join(scratch, `hooked-${copies.size}.html`));
    fs.writeFileSync(copies.get(key), fs.readFileSync(file, 'utf8').replace('<head>', () => `<head><script>(${hooks})();</script>`));
  }
  return engine.open(pathToFileURL(copies.get(key)).href, () => {});
}

// The browser lesson's own steps (tests/web/engines.mjs), in the engine given first.
const until = (engine, ...rest) => driving(engine).until(...rest);
const press = (engine, key) => driving(engine).press(key);
const click = (engine, x, y) => driving(engine).click(x, y);
const clickOn = (engine, selector) => driving(engine).clickOn(selector);

const newTab = async engine => { await engine.fresh(); await engine.viewport(1024, 800); };
const processesOf = engine => engine.processes ?? [engine.puppeteer.browser().process().pid];
const titlePainted = () => window.texts?.some(e => e.text === 'Weiter ?  <RETURN>' && getComputedStyle(e.canvas).visibility === 'visible');
const referencePainted = () => window.referencePainted;

// Milliseconds from navigation to the first animation frame that shows the page painted, two
// ways: that frame itself, on the page's clock; and as puppeteer's raf polling sees it, polling
// from the moment the navigation has completed (its load event), which cannot see a frame before
// the load event and adds the round trip to the browser. And when the page wrote the text that
// frame shows (the title's, or the reference page's one). Each start is in a new tab, the old one
// closed, as when a teacher opens the file.
async function paintedAfter(engine, file, painted) {
  await newTab(engine);
  await open(engine, file, watchStart, watchTexts);
  return engine.evaluate(async source => {
    const painted = eval(`(${source})`);
    for (const since = performance.now(); !painted(); await new Promise(requestAnimationFrame))
      if (performance.now() - since > 110000) throw new Error('never painted');
    return [await titleFrame, performance.now(), texts.find(e => e.text === 'Weiter ?  <RETURN>').at, startMarks];
  }, String(painted));
}

async function startUp(engine, row) {
  // Not counted: the first start of each, while the browser itself is still starting up.
  await paintedAfter(engine, pagePath, titlePainted);
  await paintedAfter(engine, referencePath, referencePainted);
  const ours = [], reference = [];
  for (let i = 0; i < starts; ++i) {   // interleaved, so that both see the same load
    ours.push(await paintedAfter(engine, pagePath, titlePainted));
    reference.push(await paintedAfter(engine, referencePath, referencePainted));
  }
  const [shown, polled, written] = [0, 1, 2].map(i => [median(ours.map(s => s[i])), median(reference.map(s => s[i]))]);
  const ratio = ([title, reference]) => `${(title / reference).toFixed(2)} x`;
  row('page size, program / reference', `${kib(pagePath)} / ${kib(referencePath)}`, '< 1536 KiB');
  row(`navigation to the frame showing the title / reference page (median of ${starts})`,
    `${shown[0].toFixed(0)} / ${shown[1].toFixed(0)} ms`, '< 1000 ms');
  row('ratio title / reference', ratio(shown), '< 2 x');
  row('  as polled from the load event / reference page, ratio', `${polled[0].toFixed(0)} / ${polled[1].toFixed(0)} ms, ${ratio(polled)}`);
  row('  (navigation to the title\'s text written / reference\'s)', `${written[0].toFixed(0)} / ${written[1].toFixed(0)} ms`);
  const at = (starts, milestone) => median(starts.map(s => s[3][milestone] ?? NaN));
  for (const milestone of Object.keys(ours[0][3]).sort((a, b) => at(ours, a) - at(ours, b))) {
    const other = at(reference, milestone);
    row(`  (navigation to ${milestone} / reference's)`, `${at(ours, milestone).toFixed(0)} / ${Number.isNaN(other) ? '-' : other.toFixed(0)} ms`);
  }
}

// CPU of the page's main thread (where the engine tells it) and of every browser process (/proc).
const ticksPerSecond = Number(execFileSync('getconf', ['CLK_TCK']).toString());
function processTicks(roots) {
  const table = new Map();   // pid -> [parent, ticks]
  for (const pid of fs.readdirSync('/proc').filter(name => /^\d+$/.test(name))) {
    try {
      const fields = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
      table.set(pid, [fields[1], Number(fields[11]) + Number(fields[12])]);
    } catch { /* ended meanwhile */ }
  }
  const tree = new Set(roots.map(String));
  for (let grown = true; grown;) {
    grown = false;
    for (const [pid, [parent]] of table) if (tree.has(parent) && !tree.has(pid)) grown = tree.add(pid);
  }
  return [...tree].reduce((sum, pid) => sum + (table.get(pid)?.[1] ?? 0), 0);
}
// Seconds the page's main thread has been busy so far, read through a function made now;
// null where the engine does not tell.
async function mainThreadClock(engine) {
  if (engine.name !== 'chromium')
    return null;
  const session = await engine.puppeteer.createCDPSession();
  await session.send('Performance.enable');
  return async () => (await session.send('Performance.getMetrics')).metrics.find(m => m.name === 'TaskDuration').value;
}
// Measured once the state has settled: start-up work and the click's three seconds of sound
// readiness are over.
async function cpu(engine, what, row) {
  await sleep(4000);
  const busy = await mainThreadClock(engine);
  const [busy0, ticks0, wall0] = [busy ? await busy() : 0, processTicks(processesOf(engine)), performance.now()];
  await sleep(10000);
  const seconds = (performance.now() - wall0) / 1000;
  const all = (processTicks(processesOf(engine)) - ticks0) / ticksPerSecond / seconds * 100;
  const main = busy ? `${(((await busy()) - busy0) / seconds * 100).toFixed(2)} % page thread, ` : '';
  row(`CPU ${what}`, `${main}${all.toFixed(1)} % all processes`, '< 2 % of a core');
}

// From the title prompt to the box that starts a series of ten intervals ("&3"), with a
// pause in each state the lesson rests in.
async function toSeries(engine, rest = async () => {}) {
  await rest('at the title prompt');
  await press(engine, 'Enter');
  await until(engine, () => document.querySelector('dialog.box[open]'));
  await rest('in a box');
  await clickOn(engine, 'dialog.box[open] button');
  await until(engine, () => document.querySelector('dialog.box[open] .text')?.textContent.includes('Es soll'));
  await press(engine, 'Enter');
  await until(engine, () => !document.querySelector('dialog.box[open]'));
  await click(engine, 500, 400);
  await sleep(500);
  await rest('between commands');
  await engine.key('down', 'Alt');
  await press(engine, 'e');
  await engine.key('up', 'Alt');
  await press(engine, '3');
  await until(engine, () => document.querySelector('dialog.box[open] .text')?.textContent.includes('Laufende'));
  await press(engine, 'Enter');
  await until(engine, () => document.querySelector('dialog.box[open] .text')?.textContent === 'Neue Versuchsreihe!');
  await engine.evaluate(() => { window.seriesFrom = texts.length; });
}
// Each step's number is drawn once, so its times are the steps'. Runs until `intervals` of the
// series have ended.
async function seriesSteps(engine, intervals) {
  await press(engine, 'Enter');
  await until(engine, n => texts.slice(seriesFrom).filter(e => e.text === 'Mittelwert:').length >= n, intervals);
  const steps = await engine.evaluate(() => texts.slice(seriesFrom).filter(e => /^\d+ {2}$/.test(e.text)).map(e => e.at));
  const within = gaps(steps).filter(gap => gap < 100);   // between interval ends
  return { withinInterval: 1000 / median(within), overall: (steps.length - 1) / ((steps.at(-1) - steps[0]) / 1000) };
}
// The reference page's steps: one number per animation frame.
async function referenceSteps(engine, ...hooks) {
  await newTab(engine);   // a page's hooks stay with its tab
  await open(engine, referencePath, ...hooks);
  await until(engine, referencePainted);
  await engine.evaluate(() => Module._runSteps(300));
  return 1000 / median(gaps(await until(engine, () => window.referenceSteps?.length >= 300 && window.referenceSteps)));
}

async function stepsAt120Hz(engine, row) {
  await newTab(engine);
  await open(engine, pagePath, watchTexts, frames120);
  await until(engine, titlePainted);
  await toSeries(engine);
  const ours = await seriesSteps(engine, 3);
  row('steps per second at 120 Hz (imitated), within an interval / reference page (a step a frame)',
    `${ours.withinInterval.toFixed(1)} / ${(await referenceSteps(engine, frames120)).toFixed(1)}`, '60 ± 5 %');
}

// The lesson's idle states, a series at the browser's own frame rate, and its clicks.
async function lesson(engine, row) {
  await newTab(engine);
  await open(engine, referencePath);
  await cpu(engine, 'with the reference page', row);

  await newTab(engine);
  await open(engine, pagePath, watchTexts, watchClicks);
  await until(engine, titlePainted);
  await toSeries(engine, what => cpu(engine, what, row));
  await engine.evaluate(() => {
    window.frameTimes = [];
    const play = pageSound.play.bind(pageSound);
    pageSound.play = name => { window.lastRegistration = performance.now(); play(name); };
    const frame = time => { frameTimes.push(time); requestAnimationFrame(frame); };
    requestAnimationFrame(frame);
  });
  const ours = await seriesSteps(engine, 10);
  const { frames, clicks } = await engine.evaluate(() => ({ frames: frameTimes, clicks: clickStarts }));
  row('steps per second at the browser\'s rate, within an interval / reference page (a step a frame)',
    `${ours.withinInterval.toFixed(1)} / ${(await referenceSteps(engine)).toFixed(1)}`, 'frame rate ± 5 %');
  row('steps per second over the series (interval ends included)', ours.overall.toFixed(1));
  row('frames per second rAF delivers (median gap)', (1000 / median(gaps(frames))).toFixed(1));

  const series = clicks.filter(c => typeof c.registered === 'number');   // WebDriver gives undefined as null
  row('clicks measured', `${series.length}`);
  if (!series.length)
    return;
  const toStart = series.map(c => c.at - c.registered);
  // WebKit's output timestamps lie as far ahead of the page's clock as the context has run:
  // only those within a second of the click's start are taken.
  const audible = series.filter(c => Math.abs(c.outputAt - c.at) < 1000).map(c => c.outputAt + (c.time - c.outputTime) * 1000 - c.registered);
  const ms = seconds => (seconds === undefined ? 'not told' : `${(seconds * 1000).toFixed(1)} ms`);
  row('registration -> start() (median, max)', `${median(toStart).toFixed(3)} ms, ${Math.max(...toStart).toFixed(3)} ms`);
  row('context base + output latency', `${ms(series[0].base)} + ${ms(series[0].output)}`);
  row('registration -> audible (output timestamp, median)', audible.length ? `${median(audible).toFixed(1)} ms` : 'no usable output timestamp');
}

for (const name of engineNames) {
  const rows = [];
  const row = (what, value, goal = '') => rows.push([what, value, goal]);
  const loadBefore = load();
  const engine = Object.assign(await launch(name), { name });
  const version = await engine.evaluate(() => navigator.userAgent);
  try {
    for (const [measurement, measure] of [['start-up', startUp], ['120hz', stepsAt120Hz], ['lesson', lesson]])
      if (!only || only === measurement)
        await measure(engine, row);
  } finally {
    await engine.close();
  }
  const width = Math.max(...rows.map(r => r[0].length)), valueWidth = Math.max(...rows.map(r => r[1].length));
  console.log(`\n${name}: ${version}, ${os.cpus().length} cores, load average ${loadBefore} before, ${load()} after\n`);
  for (const [what, value, goal] of rows) console.log(`${what.padEnd(width)}  ${value.padEnd(valueWidth)}  ${goal}`);
}
