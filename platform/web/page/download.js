// The series table taken home: the browser saves it as a download, named by the moment it
// was taken so that a second series does not replace the first.

mergeInto(LibraryManager.library, {
  pageSaveTable: function (table) {
    const now = new Date(), two = n => String(n).padStart(2, '0');
    const link = document.createElement('a');
    link.download = `Messreihe ${now.getFullYear()}-${two(now.getMonth() + 1)}-${two(now.getDate())} `
      + `${two(now.getHours())}-${two(now.getMinutes())}.csv`;
    // The program's bytes as they are: decoding them as text would drop the byte order mark
    // that tells spreadsheets the umlauts are UTF-8.
    let end = table;
    while (HEAPU8[end])
      ++end;
    link.href = URL.createObjectURL(new Blob([HEAPU8.slice(table, end)], { type: 'text/csv;charset=utf-8' }));
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  },
});
