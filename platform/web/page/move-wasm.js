// Build step, after linking: the linker writes the WebAssembly into the program's script as one
// base64 string. It moves into a data block of its own just before that script, after the first
// screen's files, followed by early-start.js: that starts compiling the program and decoding the
// title's pictures while the browser reads and compiles the program's script (compiling is the
// longest of the page's start-up tasks in WebKit). The page stays one file.
// usage: node move-wasm.js PAGE.html EARLY-START.js
const fs = require('fs');

const [page, earlyStart] = process.argv.slice(2);
const html = fs.readFileSync(page, 'utf8');
const literals = [...html.matchAll(/"data:application\/octet-stream;base64,([A-Za-z0-9+/=]+)"/g)];
if (literals.length !== 1) {
  console.error(`move-wasm.js: ${page} holds ${literals.length} WebAssembly strings, not one`);
  process.exit(1);
}
const [{ index, 0: literal, 1: wasm }] = literals;
const script = html.lastIndexOf('<script>', index);
fs.writeFileSync(page, [html.slice(0, script),
  `<script type="application/octet-stream" data-file="program.wasm">${wasm}</script>\n`,
  `<script>\n${fs.readFileSync(earlyStart, 'utf8')}</script>\n`, html.slice(script, index), '""', html.slice(index + literal.length)].join(''));
