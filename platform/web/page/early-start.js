// The page's first script, after the program's WebAssembly, the face and the title's pictures
// and before the page's own script (move-wasm.js puts it there): the slowest parts of the first
// screen start while the browser still reads and compiles that script. The WebAssembly compiles
// (start.js instantiates it) and the pictures decode (files.js takes them over). A browser
// without Uint8Array.fromBase64 has start.js decode and compile the WebAssembly instead.

// The picture in the base64, ready for the canvas to draw; null when the file is no picture or the
// browser cannot decode it. WebCodecs' ImageDecoder decodes it on a thread of its own. Where there
// is none (WebKit), an image element reads it from a data: address within the page's own process
// (a Blob would go to the browser's process and back, which is at its busiest while the page
// loads), and the canvas decodes it at its first draw, on the page's thread (the first title
// picture's draw took 8 ms in a timed start). Its decode() would decode it elsewhere but end only
// with a rendering update of the page, 40 to 60 ms late while the page starts, and hold the
// title's first frame back as long. Both go straight to the canvas: an ImageBitmap made from them
// would decode on the page's thread (Chromium), or live where WebKit's canvas must fetch it back
// from at the first draw (50 to 100 ms a title picture).
async function pageDecodedPicture(name, base64) {
  const type = /\.gif$/i.test(name) ? 'image/gif' : /\.jpe?g$/i.test(name) ? 'image/jpeg' : '';
  if (typeof ImageDecoder === 'function' && Uint8Array.fromBase64) {
    try {
      return (await new ImageDecoder({ data: Uint8Array.fromBase64(base64), type }).decode()).image;
    } catch (error) {
      // the image element may still read it
    }
  }
  try {
    const image = new Image();
    await new Promise((resolve, reject) => {
      image.onload = resolve;
      image.onerror = reject;
      image.src = `data:${type};base64,${base64}`;
    });
    return image;
  } catch (error) {
    return null;
  }
}

var pageEarlyStart = {
  program: Uint8Array.fromBase64
    && WebAssembly.compile(Uint8Array.fromBase64(document.querySelector('script[data-file="program.wasm"]').text)),
  // File name -> Promise of the decoded picture, for those parsed so far.
  pictures: new Map([...document.querySelectorAll('script[data-file]')].filter(block => /\.(gif|jpe?g)$/i.test(block.dataset.file))
    .map(block => [block.dataset.file, pageDecodedPicture(block.dataset.file, block.text)])),
};
