// The browsers the lesson runs in, each behind the same few calls: open a page with hooks,
// evaluate a function in it, trusted mouse and key input, the viewport's size, close; and for
// the benchmarks a fresh tab, the browser's version and the processes it runs in.
// Chromium and Firefox go through puppeteer-core (Firefox over WebDriver BiDi); WebKit through
// WebKitWebDriver, plain W3C WebDriver over HTTP, in a private Xvfb display.
import { execFile, spawn } from 'node:child_process';
import { once } from 'node:events';
import { createServer } from 'node:net';
import puppeteer from 'puppeteer-core';

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

async function viaPuppeteer(options) {
  const browser = await puppeteer.launch({ headless: true, ...options });
  let page = await browser.newPage();
  let hooked = null;   // the last page's hooks, which the next page opened does without
  return {
    hooksFirst: true,   // before the page's own scripts
    version: await browser.version(),
    processes: [browser.process().pid],
    get page() { return page; },   // puppeteer's own, for what only its engine tells
    // A new tab in place of the old, as if the browser had just been asked to open a page.
    fresh: async () => {
      const old = page;
      page = await browser.newPage();
      hooked = null;
      await old.close();
    },
    open: async (url, hooks) => {
      if (hooked) await page.removeScriptToEvaluateOnNewDocument(hooked.identifier);
      hooked = await page.evaluateOnNewDocument(hooks);
      await page.goto(url);
    },
    reload: () => page.reload(),
    evaluate: (fn, ...args) => page.evaluate(fn, ...args),
    move: (x, y) => page.mouse.move(x, y),
    buttons: async (how, names) => { for (const button of names) await page.mouse[how]({ button }); },
    key: (how, key) => page.keyboard[how](key),
    touch: (x, y) => page.touchscreen.touchStart(x, y),   // a finger, lifted by its end()
    viewport: (width, height) => page.setViewport({ width, height }),
    close: () => browser.close(),
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
    version: `${session.capabilities.browserName} ${session.capabilities.browserVersion}`,
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

export const launch = engine => ({
  chromium: () => viaPuppeteer({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu',
    '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'] }),
  // Without a sound device Firefox's audio context never runs and no click starts: a mock device.
  firefox: () => viaPuppeteer({ browser: 'firefox', executablePath: '/usr/bin/firefox-esr',
    extraPrefsFirefox: { 'media.cubeb.force_mock_context': true } }),
  webkit: viaWebDriver,
})[engine]();
