// Build step: writes the page's own files into one script, each by its bare name as base64,
// as the page's library item pageFileData.
// usage: node embed-files.js OUTPUT.js FILE...
const fs = require('fs');
const path = require('path');

const [output, ...files] = process.argv.slice(2);
const entries = files.map(file =>
  `  ${JSON.stringify(path.basename(file))}: "${fs.readFileSync(file).toString('base64')}"`);
fs.writeFileSync(output, `mergeInto(LibraryManager.library, {\n $pageFileData: {\n${entries.join(',\n')}\n },\n});\n`);
