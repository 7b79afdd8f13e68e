// The menu bar, built from the program's list (a title ending in " |", its entries,
// "----------" a separator, "" after each title's entries), worked like a desktop menu:
// Alt and a title's letter opens it, F10 the first, arrows move, Return, Space or an entry's
// letter chooses, Escape closes; the mouse opens, moves between titles and chooses. A choice
// only queues the entry's position in the list.
//
// For screen readers it is an ARIA menubar, and the focus follows what is highlighted: the
// entry, or the title of an open menu without one. Escape leaves the focus on the title,
// where arrows move along the bar, Return, Space or Down open, and Escape, Tab or F10 give the
// focus back to the drawing area. A choice or a press elsewhere gives it back at once: the
// drawing area's keys are the program's, so no title keeps the Return a prompt waits for.

mergeInto(LibraryManager.library, {
  $pageMenuBar__deps: ['$pageEvents', '$PageEvent'],
  $pageMenuBar__postset: 'pageMenuBar.init();',
  $pageMenuBar: {
    bar: null,
    menus: [],   // { title, panel, letter, entries: [{ element, index, letter }] }
    stage: null,
    open: -1,
    active: -1,
    enabled: true,

    init: function () {
      this.bar = document.getElementById('menubar');
      this.stage = document.getElementById('drawing');
      // A press anywhere else closes an open menu and goes no further, as on the desktop.
      document.addEventListener('pointerdown', event => {
        if (this.open >= 0 && !this.bar.contains(event.target)) {
          this.leave();
          event.stopPropagation();
          event.preventDefault();
        }
      }, true);
    },

    // "&" marks the letter after it: underlined, and returned lower-case.
    label: function (element, text) {
      let letter = '';
      const parts = text.split('&&');
      parts.forEach((part, i) => {
        const at = part.indexOf('&');
        if (at >= 0 && at + 1 < part.length && !letter) {
          letter = part[at + 1].toLowerCase();
          const underlined = document.createElement('u');
          underlined.textContent = part[at + 1];
          element.append(part.slice(0, at), underlined, part.slice(at + 2).replaceAll('&', ''));
        } else {
          element.append(part.replaceAll('&', ''));
        }
        if (i + 1 < parts.length)
          element.append('&');
      });
      return letter;
    },

    install: function (items) {
      this.close();
      this.bar.replaceChildren();
      this.menus = [];
      let position = 0;
      while (position < items.length && items[position] !== '') {
        let titleText = items[position].replace(/ ?\|$/, '').trim();
        if (!titleText.includes('&') && titleText)
          titleText = '&' + titleText;
        const menuNumber = this.menus.length;
        const holder = document.createElement('div');
        const title = document.createElement('div');
        title.className = 'title';
        title.tabIndex = menuNumber === 0 ? 0 : -1;
        const panel = document.createElement('div');
        panel.className = 'menu';
        panel.hidden = true;
        const menu = { title, panel, letter: this.label(title, titleText), entries: [] };
        this.setAttributes(title, { role: 'menuitem', 'aria-haspopup': 'menu', 'aria-expanded': 'false',
                               'aria-keyshortcuts': `Alt+${menu.letter.toUpperCase()}` });
        this.setAttributes(panel, { role: 'menu', 'aria-label': title.textContent });
        title.addEventListener('pointerdown', event => {
          event.preventDefault();
          this.toggle(menuNumber, -1);
        });
        // A screen reader's activation comes as a click without a press.
        title.addEventListener('click', event => {
          if (event.detail === 0)
            this.toggle(menuNumber, 0);
        });
        title.addEventListener('pointerenter', () => {
          if (this.open >= 0 && this.open !== menuNumber)
            this.show(menuNumber, -1);
        });
        for (++position; position < items.length && items[position] !== ''; ++position) {
          if (items[position] === '----------') {
            panel.append(document.createElement('hr'));
            continue;
          }
          const element = document.createElement('div');
          element.className = 'entry';
          element.tabIndex = -1;
          element.setAttribute('role', 'menuitem');
          const entry = { element, index: position, letter: this.label(element, items[position]) };
          const entryNumber = menu.entries.length;
          element.addEventListener('pointerenter', () => this.highlight(entryNumber));
          element.addEventListener('click', () => this.choose(entry));
          menu.entries.push(entry);
          panel.append(element);
        }
        ++position;   // the "" that ends this title's entries
        holder.append(title, panel);
        this.bar.append(holder);
        this.menus.push(menu);
      }
    },

    setAttributes: function (element, attributes) {
      for (const name in attributes)
        element.setAttribute(name, attributes[name]);
    },

    toggle: function (menuNumber, entryNumber) {
      if (this.open === menuNumber) this.leave(); else this.show(menuNumber, entryNumber);
    },

    show: function (menuNumber, entryNumber) {
      if (!this.enabled)
        return;
      this.close();
      this.open = menuNumber;
      const title = this.menus[menuNumber].title, panel = this.menus[menuNumber].panel;
      title.classList.add('open');
      title.setAttribute('aria-expanded', 'true');
      panel.hidden = false;
      // A menu that would run past the right edge (a phone) moves left, no further than the screen's.
      panel.style.left = '';
      const overhang = panel.getBoundingClientRect().right - document.documentElement.clientWidth;
      if (overhang > 0)
        panel.style.left = `${-Math.min(overhang, title.getBoundingClientRect().left)}px`;
      this.rove(menuNumber);
      this.highlight(entryNumber);
    },

    close: function () {
      if (this.open < 0)
        return;
      this.menus[this.open].title.classList.remove('open');
      this.menus[this.open].title.setAttribute('aria-expanded', 'false');
      this.menus[this.open].panel.hidden = true;
      this.open = -1;
      this.active = -1;
    },

    closeToTitle: function () {
      const title = this.open;
      this.close();
      this.focusTitle(title);
    },

    // Closes the menu and gives the keys back to the program.
    leave: function () {
      this.close();
      this.stage.focus({ preventScroll: true });
    },

    // The one title a Tab reaches is the one last used.
    rove: function (menuNumber) {
      this.menus.forEach((menu, i) => { menu.title.tabIndex = i === menuNumber ? 0 : -1; });
    },

    focusTitle: function (menuNumber) {
      this.rove(menuNumber);
      this.menus[menuNumber].title.focus();
    },

    highlight: function (entryNumber) {
      const entries = this.menus[this.open].entries;
      entries.forEach((entry, i) => entry.element.classList.toggle('active', i === entryNumber));
      this.active = entryNumber;
      (entryNumber >= 0 ? entries[entryNumber].element : this.menus[this.open].title).focus();
    },

    move: function (step) {
      const count = this.menus[this.open].entries.length;
      if (count > 0)
        this.highlight(this.active < 0 ? (step > 0 ? 0 : count - 1) : (this.active + step + count) % count);
    },

    choose: function (entry) {
      this.leave();
      pageEvents.push(PageEvent.MenuEvent, entry.index);
    },

    // The program has ended: no choice is taken any more.
    disable: function () {
      this.close();
      this.enabled = false;
    },

    // True when the key belonged to the menu bar.
    handleKey: function (event) {
      if (!this.enabled || event.ctrlKey || event.metaKey)
        return false;
      // The letter as typed; where Alt turns it into another character, the key's place.
      const typed = /^[a-z0-9]$/i.test(event.key) ? event.key : event.code.replace(/^(Key|Digit)/, '');
      const letter = typed.toLowerCase();
      const key = event.key, count = this.menus.length;
      const onTitle = this.menus.findIndex(menu => menu.title === document.activeElement);
      if (key === 'F10' && !event.altKey && !event.shiftKey) {
        if (this.open >= 0 || onTitle >= 0) this.leave(); else this.show(0, 0);
      } else if (event.altKey) {
        const found = this.menus.findIndex(menu => menu.letter === letter);
        if (found < 0)
          return false;
        this.show(found, 0);
      } else if (this.open >= 0) {
        const entries = this.menus[this.open].entries;
        if (key === 'ArrowDown') this.move(1);
        else if (key === 'ArrowUp') this.move(-1);
        else if (key === 'Home' || key === 'End') this.highlight(key === 'Home' ? 0 : entries.length - 1);
        else if (key === 'ArrowRight') this.show((this.open + 1) % count, 0);
        else if (key === 'ArrowLeft') this.show((this.open + count - 1) % count, 0);
        else if (key === 'Escape') this.closeToTitle();
        else if (key === 'Tab') this.leave();
        else if ((key === 'Enter' || key === ' ') && this.active >= 0) this.choose(entries[this.active]);
        else {
          const entry = entries.find(candidate => candidate.letter === letter);
          if (entry)
            this.choose(entry);
        }
      } else if (onTitle >= 0) {
        if (key === 'ArrowRight') this.focusTitle((onTitle + 1) % count);
        else if (key === 'ArrowLeft') this.focusTitle((onTitle + count - 1) % count);
        else if (key === 'Home' || key === 'End') this.focusTitle(key === 'Home' ? 0 : count - 1);
        else if (key === 'Enter' || key === ' ' || key === 'ArrowDown') this.show(onTitle, 0);
        else if (key === 'ArrowUp') this.show(onTitle, this.menus[onTitle].entries.length - 1);
        else if (key === 'Escape' || key === 'Tab') this.leave();
        else return false;   // the program's key, though the bar has the focus
      } else {
        return false;
      }
      // An open menu takes every key, as a desktop menu does.
      event.preventDefault();
      return true;
    },
  },

  // The entries come as one text, a line each.
  pageInstallMenu__deps: ['$pageMenuBar'],
  pageInstallMenu: function (items) {
    pageMenuBar.install(UTF8ToString(items).split('\n'));
  },
});
