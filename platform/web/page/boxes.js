// The program's boxes as modal dialogs, named by their caption and described by their text.
// Every "|" of the text starts a line and no line is ever wrapped: the box grows, up to the
// window; a line wider than that makes the text smaller, never scrolled sideways, and a text
// taller than that scrolls. The default button has the focus when the box opens, however it
// was reached; Return presses the focused button, and Escape gives the default button.

mergeInto(LibraryManager.library, {
  // BoxStyle comes from platform/Platform.h, read at build time.
  $pageBoxes__deps: ['$pageFileData', '$BoxStyle'],
  $pageBoxes: {
    dialog: null,

    isOpen: function () {
      return this.dialog !== null;
    },

    // Our own small icons; About shows the program's own.
    iconFor: function (style) {
      switch (style) {
      case BoxStyle.Notice:
        return '<svg viewBox="0 0 32 32"><circle cx="16" cy="16" r="15" fill="#2f6fd0"/><circle cx="16" cy="9" r="2.2" fill="#fff"/><rect x="14" y="13" width="4" height="12" rx="1.5" fill="#fff"/></svg>';
      case BoxStyle.Explanation:
        return '<svg viewBox="0 0 32 32"><circle cx="16" cy="16" r="15" fill="#2f6fd0"/><path d="M11 12a5 5 0 1 1 7 4.6c-1.3.6-2 1.4-2 2.9V21" fill="none" stroke="#fff" stroke-width="3.2" stroke-linecap="round"/><circle cx="16" cy="25.5" r="2" fill="#fff"/></svg>';
      case BoxStyle.Warning:
        return '<svg viewBox="0 0 32 32"><path d="M16 2 31 29H1z" fill="#f2c230" stroke="#8a6a00" stroke-linejoin="round"/><rect x="14.3" y="10" width="3.4" height="11" rx="1.4" fill="#222"/><circle cx="16" cy="25" r="1.9" fill="#222"/></svg>';
      case BoxStyle.About:
        return `<img alt="" src="data:image/svg+xml;base64,${pageFileData['mikroteilchen.svg']}">`;
      }
      return '';
    },

    // A phone held upright is narrower than the theory text's longest line at the page's size.
    fit: function (dialog) {
      const content = dialog.querySelector('.content'), text = dialog.querySelector('.text');
      text.style.fontSize = '';
      for (let tries = 0; tries < 4 && content.scrollWidth > content.clientWidth; ++tries) {
        const width = text.offsetWidth, pixels = parseFloat(getComputedStyle(text).fontSize);
        const fitting = width - (content.scrollWidth - content.clientWidth);
        text.style.fontSize = `${Math.floor(pixels * fitting / width * 4) / 4}px`;
      }
    },

    // The number of the button chosen, from 1.
    ask: function (style, text, defaultButton, captions, title) {
      const dialog = document.createElement('dialog');
      dialog.className = 'box';
      dialog.setAttribute('aria-labelledby', 'box-caption');
      dialog.setAttribute('aria-describedby', 'box-text');
      dialog.innerHTML = `<header id="box-caption"></header><div class="content"><div class="icon">${this.iconFor(style)}</div><div class="text" id="box-text"></div></div><footer></footer>`;
      dialog.querySelector('header').textContent = title.trim();
      dialog.querySelector('.text').textContent = text.split('|').join('\n');
      const buttons = captions.split('|').map((caption, i) => {
        const button = document.createElement('button');
        button.textContent = caption;
        button.addEventListener('click', () => finish(i + 1));
        dialog.querySelector('footer').append(button);
        return button;
      });
      const fallback = Math.min(Math.max(defaultButton, 1), buttons.length);
      let finish;
      const chosen = new Promise(resolve => {
        finish = number => {
          if (this.dialog !== dialog)
            return;
          this.dialog = null;
          dialog.close();
          dialog.remove();
          resolve(number);
        };
      });
      dialog.addEventListener('cancel', event => { event.preventDefault(); finish(fallback); });
      dialog.addEventListener('close', () => finish(fallback));
      // The press that brought the box (on the drawing area, a menu entry, a button) may still
      // move the focus once the box is open; the default button takes it back, and Return or
      // Space with the focus anywhere else answers with the default button.
      const focusDefault = () => setTimeout(() => {
        if (this.dialog === dialog && !buttons.includes(document.activeElement))
          buttons[fallback - 1].focus();
      });
      const keys = event => {
        if ((event.key === 'Enter' || event.key === ' ') && !buttons.includes(document.activeElement)) {
          event.preventDefault();
          event.stopPropagation();   // the answer is the box's, not a key for the program
          finish(fallback);
        }
      };
      const refit = () => this.fit(dialog);
      document.addEventListener('pointerup', focusDefault, true);
      document.addEventListener('keydown', keys, true);
      window.addEventListener('resize', refit);
      chosen.finally(() => {
        document.removeEventListener('pointerup', focusDefault, true);
        document.removeEventListener('keydown', keys, true);
        window.removeEventListener('resize', refit);
      });
      document.body.append(dialog);
      this.dialog = dialog;
      dialog.showModal();
      refit();
      buttons[fallback - 1].focus();
      focusDefault();
      return chosen;
    },
  },

  // Suspends the program until a button is chosen; its number, from 1.
  pageAskBox__deps: ['$pageBoxes', '$pagePlace'],
  pageAskBox: function (style, text, defaultButton, captions, title) {
    pagePlace.startedUp();
    return Asyncify.handleAsync(() => pageBoxes.ask(style, UTF8ToString(text), defaultButton,
                                                    UTF8ToString(captions), UTF8ToString(title)));
  },
});
