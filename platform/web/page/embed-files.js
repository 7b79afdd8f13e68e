// Build step: the page's shell with the page's own files in it, each as base64 in a data block
// (a script element the browser does not run). The files the first screen needs come before the
// program's script, so that they load while the browser compiles the program; the rest come
// after it, so that the browser reaches the program first. The page takes the blocks in as they
// are parsed (files.js). The pictures and the click are checked first: they are packed here
// once, so a damaged one stops the build instead of reaching a class.
// usage: node embed-files.js SHELL.html OUTPUT.html FIRST-SCREEN-FILE... --after FILE...
const fs = require('fs');
const path = require('path');

// Where the content ends: some writers pad a file after its end marker with a few zero bytes.
function contentEnd(bytes) {
  let end = bytes.length;
  while (end > 0 && bytes[end - 1] === 0 && bytes.length - end < 16)
    --end;
  return end;
}

// Each check gives what is wrong with the file, or '' when the page can use it.
function gifProblem(bytes) {
  if (!['GIF87a', 'GIF89a'].includes(bytes.toString('latin1', 0, 6)))
    return 'not a GIF picture (no GIF87a or GIF89a signature)';
  if (bytes.length < 10 || bytes.readUInt16LE(6) === 0 || bytes.readUInt16LE(8) === 0)
    return 'no width and height in its header';
  return bytes[contentEnd(bytes) - 1] === 0x3b ? '' : 'cut off: the trailer byte 0x3B is missing at its end';
}

function jpegProblem(bytes) {
  if (bytes.length < 4 || bytes.readUInt16BE(0) !== 0xffd8 || bytes[2] !== 0xff)
    return 'not a JPEG picture (no FF D8 FF signature)';
  const end = contentEnd(bytes);
  if (bytes.readUInt16BE(end - 2) !== 0xffd9)
    return 'cut off: the end marker FF D9 is missing';
  // The frame header (SOF0 to SOF15, but for DHT, JPG and DAC) holds the size; the scan comes after it.
  for (let at = 2; at + 4 <= end && bytes[at] === 0xff;) {
    const marker = bytes[at + 1], length = bytes.readUInt16BE(at + 2);
    if (marker === 0xff || marker === 0x01 || (marker >= 0xd0 && marker <= 0xd7)) {
      at += marker === 0xff ? 1 : 2;   // a fill byte, or a marker without a segment
      continue;
    }
    if (marker >= 0xc0 && marker <= 0xcf && ![0xc4, 0xc8, 0xcc].includes(marker)) {
      if (at + 9 > end || bytes.readUInt16BE(at + 5) === 0 || bytes.readUInt16BE(at + 7) === 0)
        return 'no width and height in its frame header';
      return '';
    }
    if (marker === 0xda)
      break;
    at += 2 + length;
  }
  return 'no frame header with its width and height before the image data';
}

// PCM as browsers decode it: 8, 16, 24 or 32 bits, any rate and number of channels.
function waveProblem(bytes) {
  if (bytes.length < 12 || bytes.toString('latin1', 0, 4) !== 'RIFF' || bytes.toString('latin1', 8, 12) !== 'WAVE')
    return 'not a WAV file (no RIFF/WAVE header)';
  let format = null, samples = -1;
  for (let at = 12; at + 8 <= bytes.length;) {
    const id = bytes.toString('latin1', at, at + 4), size = bytes.readUInt32LE(at + 4), body = at + 8;
    if (id === 'fmt ' && body + 16 <= bytes.length) {
      const tag = bytes.readUInt16LE(body);
      const pcm = tag === 1 || (tag === 0xfffe && size >= 26 && body + 26 <= bytes.length && bytes.readUInt16LE(body + 24) === 1);
      format = { pcm, channels: bytes.readUInt16LE(body + 2), rate: bytes.readUInt32LE(body + 4), bits: bytes.readUInt16LE(body + 14) };
    } else if (id === 'data') {
      samples = size;
      if (body + size > bytes.length)
        return `cut off: its data chunk announces ${size} bytes, ${bytes.length - body} are there`;
    }
    at = body + size + (size & 1);
  }
  if (!format)
    return 'no format chunk';
  if (!format.pcm)
    return 'not stored as uncompressed PCM';
  if (format.channels < 1 || format.rate < 1 || ![8, 16, 24, 32].includes(format.bits))
    return `PCM of ${format.bits} bits, ${format.channels} channel(s) at ${format.rate} Hz, which the page cannot play`;
  return samples > 0 ? '' : 'no sound data';
}

const checks = { '.gif': gifProblem, '.jpg': jpegProblem, '.jpeg': jpegProblem, '.jpe': jpegProblem, '.wav': waveProblem };

// A page whose text is all ASCII is held by the browser as 8-bit text, its scripts and data
// included; one character beyond Latin-1 anywhere doubles that and slows the start. So the
// shell's own text is written with character references; its styles and scripts cannot be.
function asciiOnly(shell) {
  return shell.split(/(<(style|script)\b[\s\S]*?<\/\2>)/i).map((part, i) => {
    if (i % 3 === 2)
      return '';   // the tag name the split captured
    if (i % 3 === 1 && /[^\x00-\x7f]/.test(part)) {
      console.error(`embed-files.js: a style or script of the shell holds a character beyond ASCII: ${part.match(/[^\x00-\x7f]/)[0]}`);
      process.exit(1);
    }
    return part.replace(/[^\x00-\x7f]/gu, c => `&#${c.codePointAt(0)};`);
  }).join('');
}

const [shellFile, output, ...files] = process.argv.slice(2);
const block = file => {
  const bytes = fs.readFileSync(file);
  const check = checks[path.extname(file).toLowerCase()];
  const problem = bytes.length === 0 ? 'empty (0 bytes)' : check ? check(bytes) : '';
  if (problem) {
    console.error(`embed-files.js: ${file}: ${problem}`);
    process.exit(1);
  }
  return `<script type="application/octet-stream" data-file="${path.basename(file)}">${bytes.toString('base64')}</script>`;
};
const split = files.includes('--after') ? files.indexOf('--after') : files.length;
const shell = asciiOnly(fs.readFileSync(shellFile, 'utf8'));
if (!shell.includes('{{{ SCRIPT }}}')) {
  console.error(`embed-files.js: ${shellFile} has no {{{ SCRIPT }}} for the program`);
  process.exit(1);
}
const page = [...files.slice(0, split).map(block), '{{{ SCRIPT }}}', ...files.slice(split + 1).map(block)];
fs.writeFileSync(output, shell.replace('{{{ SCRIPT }}}', () => page.join('\n')));
