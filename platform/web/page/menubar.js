// The menu bar, built from the program's list (a title ending in " |", its entries,
// "----------" a separator, "" after each title's entries), worked like a desktop menu:
// Alt and a title's letter opens it, arrows move, Return, Space or an entry's letter
// chooses, Escape closes; the mouse opens, moves between titles and chooses. A choice only
// queues the entry's position in the list.

mergeInto(LibraryManager.library, {
  $pageMenuBar__deps: ['$pageEvents', '$PageEvent'],
  $pageMenuBar__postset: 'pageMenuBar.init();',
  $pageMenuBar: {
    bar: null,
    menus: [],   // { title, panel, letter, entries: [{ element, index, letter }] }
    open: -1,
    active: -1,
    enabled: true,

    init: function () {
      this.bar = document.getElementById('menubar');
      // A press anywhere else closes an open menu and goes no further, as on the desktop.
      document.addEventListener('pointerdown', event => {
        if (this.open >= 0 && !this.bar.contains(event.target)) {
          this.close();
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
        title.setAttribute('role', 'menuitem');
        const panel = document.createElement('div');
        panel.className = 'menu';
        panel.setAttribute('role', 'menu');
        panel.hidden = true;
        const menu = { title, panel, letter: this.label(title, titleText), entries: [] };
        title.addEventListener('pointerdown', event => {
          event.preventDefault();
          if (this.open === menuNumber) this.close(); else this.show(menuNumber, -1);
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

    show: function (menuNumber, entryNumber) {
      if (!this.enabled)
        return;
      this.close();
      this.open = menuNumber;
      this.menus[menuNumber].title.classList.add('open');
      this.menus[menuNumber].panel.hidden = false;
      this.highlight(entryNumber);
    },

    close: function () {
      if (this.open < 0)
        return;
      this.menus[this.open].title.classList.remove('open');
      this.menus[this.open].panel.hidden = true;
      this.open = -1;
      this.active = -1;
    },

    highlight: function (entryNumber) {
      const entries = this.menus[this.open].entries;
      entries.forEach((entry, i) => entry.element.classList.toggle('active', i === entryNumber));
      this.active = entryNumber;
    },

    move: function (step) {
      const count = this.menus[this.open].entries.length;
      if (count > 0)
        this.highlight(this.active < 0 ? (step > 0 ? 0 : count - 1) : (this.active + step + count) % count);
    },

    choose: function (entry) {
      this.close();
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
      if (event.altKey) {
        const found = this.menus.findIndex(menu => menu.letter === letter);
        if (found < 0)
          return false;
        this.show(found, 0);
      } else if (this.open >= 0) {
        const count = this.menus.length;
        const entries = this.menus[this.open].entries;
        if (event.key === 'ArrowDown') this.move(1);
        else if (event.key === 'ArrowUp') this.move(-1);
        else if (event.key === 'ArrowRight') this.show((this.open + 1) % count, 0);
        else if (event.key === 'ArrowLeft') this.show((this.open + count - 1) % count, 0);
        else if (event.key === 'Escape') this.close();
        else if ((event.key === 'Enter' || event.key === ' ') && this.active >= 0) this.choose(entries[this.active]);
        else {
          const entry = entries.find(candidate => candidate.letter === letter);
          if (entry)
            this.choose(entry);
        }
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
