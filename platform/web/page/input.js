// Keys, mouse buttons and touches, queued for the program as the desktop hands them over:
// a key as its text ("a", "\r", "\x1b") or its name ("F1", "Right"), modifier keys alone
// being no key; buttons as 1 left, 2 right, 3 both, a two-finger tap counting as both.

mergeInto(LibraryManager.library, {
  $pageInput__deps: ['$pageEvents', '$PageEvent', '$pageBoxes', '$pageMenuBar'],
  $pageInput__postset: 'pageInput();',
  $pageInput: function () {
    const notKeys = new Set(['Shift', 'Control', 'Alt', 'AltGraph', 'Meta', 'OS', 'CapsLock', 'NumLock',
      'ScrollLock', 'Fn', 'FnLock', 'Hyper', 'Super', 'Symbol', 'Dead', 'Process', 'Unidentified',
      'F11']);   // F11 stays the browser's own full screen
    const texts = { Enter: '\r', Escape: '\x1b', Tab: '\t', Backspace: '\b', Delete: 'Del',
      ArrowLeft: 'Left', ArrowRight: 'Right', ArrowUp: 'Up', ArrowDown: 'Down', PageUp: 'PgUp', PageDown: 'PgDown' };
    // Keys that would otherwise scroll the page or move the focus away from the lesson.
    const pageMoving = new Set([' ', 'Enter', 'Tab', 'Backspace', 'ArrowLeft', 'ArrowRight', 'ArrowUp',
      'ArrowDown', 'PageUp', 'PageDown', 'Home', 'End']);

    document.addEventListener('keydown', event => {
      if (pageBoxes.isOpen() || pageMenuBar.handleKey(event))
        return;
      // Ctrl+S takes the series table home instead of saving the page.
      if ((event.ctrlKey || event.metaKey) && !event.altKey && event.key.toLowerCase() === 's') {
        event.preventDefault();
        pageEvents.push(PageEvent.SaveEvent, 0);
        return;
      }
      // Browser shortcuts and Alt with a letter no menu has are not the lesson's.
      if (notKeys.has(event.key) || event.ctrlKey || event.metaKey || event.altKey)
        return;
      if (pageMoving.has(event.key))
        event.preventDefault();
      pageEvents.push(PageEvent.KeyEvent, event.key.length === 1 ? event.key : texts[event.key] || event.key);
    });

    const stage = document.getElementById('stage');
    const fingers = new Set();
    let mouse = 0, told = 0;
    const tell = () => {
      const buttons = mouse | (fingers.size >= 2 ? 3 : fingers.size === 1 ? 1 : 0);
      if (buttons !== told)
        pageEvents.push(PageEvent.ButtonsEvent, told = buttons);
    };
    const pointer = event => {
      if (event.pointerType === 'touch') {
        if (event.type === 'pointerdown') fingers.add(event.pointerId);
        else fingers.delete(event.pointerId);
      } else {
        mouse = event.buttons & 3;
      }
      tell();
    };
    stage.addEventListener('pointerdown', event => {
      stage.setPointerCapture(event.pointerId);
      pointer(event);
    });
    // A second button pressed while the first is held comes as a move with other buttons.
    stage.addEventListener('pointermove', event => {
      if (event.pointerType !== 'touch' && (event.buttons & 3) !== mouse)
        pointer(event);
    });
    stage.addEventListener('pointerup', pointer);
    stage.addEventListener('pointercancel', pointer);
    stage.addEventListener('contextmenu', event => event.preventDefault());
    // A release the page never saw (the window lost the focus) must not keep a button held.
    window.addEventListener('blur', () => {
      mouse = 0;
      fingers.clear();
      tell();
    });
  },
});
