// Build step: the numbers the program and its page share, read from the program's C++
// headers into one library script, each enum as a page object of its own name
// (BoxStyle.About, PageEvent.KeyEvent), so that no number is written twice.
// usage: node write-enums.js OUTPUT.js HEADER.h ENUM... [HEADER.h ENUM...]...
const fs = require('fs');

function fail(message) {
  console.error(`write-enums.js: ${message}`);
  process.exit(1);
}

const [output, ...headersAndEnums] = process.argv.slice(2);
const library = {};
let header = null, code = '';
for (const argument of headersAndEnums) {
  if (argument.endsWith('.h')) {
    header = argument;
    code = fs.readFileSync(header, 'utf8').replace(/\/\/.*|\/\*[^]*?\*\//g, '');
    continue;
  }
  const found = new RegExp(`\\benum\\s+(?:class\\s+)?${argument}\\s*(?::[^{;]*)?\\{([^}]*)\\}`).exec(code);
  if (!header || !found)
    fail(`${header ?? 'no header given'}: no enum ${argument}`);
  const values = {};
  let next = 0;
  for (const item of found[1].split(',').map(text => text.trim()).filter(Boolean)) {
    const parts = /^(\w+)(?:\s*=\s*(-?\d+))?$/.exec(item);
    if (!parts)
      fail(`${header}: enum ${argument}: "${item}" is not a name with a plain number`);
    next = parts[2] === undefined ? next : Number(parts[2]);
    values[parts[1]] = next++;
  }
  library[`$${argument}`] = values;
}
fs.writeFileSync(output, `mergeInto(LibraryManager.library, ${JSON.stringify(library, null, 2)});\n`);
