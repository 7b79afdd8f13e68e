// The browsers the lesson runs in, each behind the same few calls: open a page with hooks,
// evaluate a function in it, trusted mouse and key input, the viewport's size, close; and for
// the benchmarks a fresh tab (and WebKit's processes, which puppeteer's browsers tell themselves).
// Chromium and Firefox go through puppeteer-core (Firefox over WebDriver BiDi); WebKit through
// WebKitWebDriver, plain W3C WebDriver over HTTP, in a private Xvfb display. Below them, the
// hooks the lessons watch the page through and the steps they take in it.
import { execFile, spawn } from 'node:child_process';
import { once } from 'node:events';
import { createServer } from 'node:net';
import puppeteer from 'puppeteer-core';

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

async function viaPuppeteer(options) {
  const browser = await puppeteer.launch({ headless: true, ...options });
  let page = await browser.newPage();
  return {
    hooksFirst: true,   // before the page's own scripts
    // A new tab in place of the old, as if the browser had just been asked to open a page.
    fresh: async () => {
      const old = page;
      page = await browser.newPage();
      await old.close();
    },
    open: async (url, hooks) => { await page.evaluateOnNewDocument(hooks); await page.goto(url); },
    reload: () => page.reload(),
    evaluate: (fn, ...args) => page.evaluate(fn, ...args),
    move: (x, y) => page.mouse.move(x, y),
    buttons: async (how, names) => { for (const button of names) await page.mouse[how]({ button }); },
    key: (how, key) => page.keyboard[how](key),
    touch: (x, y) => page.touchscreen.touchStart(x, y),   // a finger, lifted by its end()
    viewport: (width, height) => page.setViewport({ width, height }),
    close: () => browser.close(),
    get puppeteer() { return page; },   // for what only its engine tells (DevTools protocol)
  };
}

// WebKitWebDriver sends every button release as the left button's (WebKitGTK 2.50), so a right
// button it pressed would stay held: the mouse goes through the X server instead, as a real one.
async function viaWebDriver() {
  const display = spawn('Xvfb', ['-displayfd', '3', '-nolisten', 'tcp', '-screen', '0', '1280x1024x24'],
    { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  let number = '';
  for await (const chunk of display.stdio[3]) number += chunk;   // written, then closed, once it takes clients
  const env = { ...process.env, DISPLAY: `:${number.trim()}` };
  const server = createServer().listen(0, '127.0.0.1');
  const { port } = (await once(server, 'listening'), server.address());
  server.close();
  const driver = spawn('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore', env });
  // Neither keeps the test running; both end with it, and the browser goes with its display.
  for (const child of [driver, display]) child.unref();
  process.on('exit', () => { driver.kill(); display.kill(); });
  const call = async (method, path, body) => {
    const { value } = await (await fetch(`http://127.0.0.1:${port}/session${path}`, { method, body: JSON.stringify(body) })).json();
    if (value?.error) throw new Error(`WebDriver ${path}: ${value.error} ${value.message}`);
    return value;
  };
  const capabilities = { alwaysMatch: { timeouts: { script: 120000 }, 'webkitgtk:browserOptions': {
    binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser', args: ['--automation'] } } };
  let session, origin;   // origin: where the viewport sits on the screen
  for (let tries = 1; !session; ++tries)   // the driver takes a moment to listen
    session = await call('POST', '', { capabilities }).catch(error => (tries < 50 ? sleep(100) : Promise.reject(error)));
  const run = (path, body = {}) => call('POST', `/${session.sessionId}${path}`, body);
  const evaluate = (fn, ...args) => run('/execute/sync', { script: `return (${fn}).apply(null, arguments)`, args });
  const xdotool = (...args) => new Promise((resolve, reject) => execFile('xdotool', args, { env }, error => (error ? reject(error) : resolve())));
  return {
    processes: [driver.pid, display.pid],   // the browser's, and the display it draws in
    fresh: async () => {
      const { handle } = await run('/window/new', { type: 'tab' });
      await call('DELETE', `/${session.sessionId}/window`);
      await run('/window', { handle });
    },
    // No way in before the page's scripts: the hooks run once it has loaded.
    open: async (url, hooks) => { await run('/url', { url }); await evaluate(hooks); },
    evaluate,
    move: (x, y) => xdotool('mousemove', String(Math.round(origin[0] + x)), String(Math.round(origin[1] + y))),
    buttons: (how, names) => xdotool(...names.flatMap(name => [`mouse${how}`, name === 'right' ? '3' : '1'])),
    key: (how, key) => run('/actions', { actions: [{ type: 'key', id: 'keys',
      actions: [{ type: `key${how === 'down' ? 'Down' : 'Up'}`, value: { Enter: '\uE007', Alt: '\uE00A' }[key] ?? key }] }] }),
    viewport: async (width, height) => {
      const [left, top, x, y] = await evaluate(() => [outerWidth - innerWidth, outerHeight - innerHeight, screenX, screenY]);
      origin = [x + left, y + top];
      await run('/window/rect', { width: width + left, height: height + top });
    },
    close: () => call('DELETE', `/${session.sessionId}`),
  };
}

// Chromium takes further command-line switches (a fake microphone).
export const launch = (engine, switches = []) => ({
  chromium: () => viaPuppeteer({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu',
    '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync', ...switches] }),
  // Without a sound device Firefox's audio context never runs and no click starts: a mock device.
  firefox: () => viaPuppeteer({ browser: 'firefox', executablePath: '/usr/bin/firefox-esr',
    extraPrefsFirefox: { 'media.cubeb.force_mock_context': true } }),
  webkit: viaWebDriver,
})[engine]();

// Seen where the page meets the browser: every text written on a canvas, with the clicks
// started before it, so that a count shown can be checked against the clicks heard. A click
// started on an audio context that is not running is not heard. Waking a context takes
// half a second here, as it may on a slow device.
export function hooks() {
  const seen = window.seen = { texts: [], clicks: 0, unheard: 0, errors: [] };
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
  addEventListener('error', event => seen.errors.push(event.message));
  addEventListener('unhandledrejection', event => seen.errors.push(String(event.reason)));
}

// A class's steps in a page opened with the hooks, through trusted input.
export function driving(page) {
  // Polls in the page until fn(...args) gives something true, and returns that.
  const until = (fn, ...args) => page.evaluate(async (source, args) => {
    for (let result, since = performance.now(); performance.now() - since < 90000; await new Promise(r => setTimeout(r, 10)))
      if ((result = eval(`(${source})`)(...args))) return result;
    throw new Error(`never seen: ${source}`);
  }, String(fn), args);
  const press = async key => { await page.key('down', key); await page.key('up', key); };
  const click = async (x, y) => { await page.move(x, y); await page.buttons('down', ['left']); await page.buttons('up', ['left']); };
  const clickOn = async selector => click(...await until(s => {
    const { x, y, width, height } = document.querySelector(s)?.getBoundingClientRect() ?? {};
    return width && [x + width / 2, y + height / 2];
  }, selector));
  const drawn = text => until(t => seen.texts.some(e => e.text === t), text);
  const openBox = () => until(() => (window.box = document.querySelector('dialog.box[open]')) && {
    caption: box.querySelector('header').textContent, lines: box.querySelector('.text').textContent.split('\n'),
    buttons: [...box.querySelectorAll('button')].map(b => b.textContent) });
  const focusedOnItsButton = () => until(() => box.querySelector('button') === document.activeElement);
  const answer = async how => { await how(); await until(() => !box.isConnected); };
  return { until, press, click, clickOn, drawn, openBox, focusedOnItsButton, answer };
}
