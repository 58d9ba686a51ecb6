// The page side of the web back end: dialogs drawn as HTML from their
// templates, and the events users raise in them.
//
// Each dialog is a modal <dialog> (the page and every dialog under it take no
// input) with a title bar and a client area in which every control sits at
// its template rectangle, converted to pixels with the dialog font's base
// units, in template order (which is also the page's tab order). Controls are
// addressed by their index in the template.
//
// DOM handlers never call into the module: the program may be suspended in a
// modal run. They only queue an event (TV.post), which the run waiting for
// it takes (tv_wait_event, in WebDialogWindow.cpp).

mergeInto(LibraryManager.library, {
  $TV: {
    dialogs: {},  // handle -> dialog record
    next: 1,
    queue: [],
    wake: null,
    icons: {},    // icon id -> [{ size, url }]
    fonts: {},    // "points name" -> the font's CSS and base units, measured once
    styled: false,

    // Event types, as WebDialogWindow reads them.
    COMMAND: 1, ENTER: 2, ESCAPE: 3, CLOSE: 4, SYSCOMMAND: 5, HELP: 6, ALT_SPACE: 7,

    post: function (handle, type, arg) {
      TV.queue.push({ handle: handle, type: type, arg: arg });
      if (TV.wake) { var wake = TV.wake; TV.wake = null; wake(); }
    },

    // "&" marks a mnemonic; "&&" is a plain "&".
    plain: function (caption) { return caption.replace(/&(.)/g, '$1'); },
    // The marks of the close box and the list arrow, drawn rather than
    // taken from a font: no font the dialogs use has them, and looking for
    // one that does costs the first layout many milliseconds.
    marks: {
      close: '<svg width="10" height="10" viewBox="0 0 10 10" aria-hidden="true"><path d="M1 1L9 9M9 1L1 9" ' +
        'stroke="currentColor" stroke-width="1.5"/></svg>',
      arrow: '<svg width="7" height="4" viewBox="0 0 7 4" aria-hidden="true"><path d="M0 0h7L3.5 4z" ' +
        'fill="currentColor"/></svg>',
      menu: '<svg width="12" height="10" viewBox="0 0 12 10" aria-hidden="true"><path d="M0 1h12M0 5h12M0 9h12" ' +
        'stroke="currentColor" stroke-width="1.5"/></svg>',
    },
    // The caption as a screen reader should say it.
    spoken: function (caption) { return TV.plain(caption).replace(/[: ]+$/, ''); },

    style: function () {
      if (TV.styled) return;
      TV.styled = true;
      var css = document.createElement('style');
      css.textContent = [
        '.tv-dialog { position: fixed; inset: auto; left: 0; top: 0; margin: 0; padding: 0; max-width: none;',
        '  max-height: none; overflow: visible; border: 1px solid #6d6d6d; background: #f0f0f0; color: #000;',
        '  box-shadow: 0 4px 16px rgba(0,0,0,.3); }',
        '.tv-dialog::backdrop { background: transparent; }',
        '.tv-title { display: flex; align-items: center; height: 24px; background: #dfe7f2;',
        '  border-bottom: 1px solid #b9c3d0; font: 12px sans-serif; user-select: none; cursor: default; }',
        '.tv-title > span { flex: 1; padding: 0 4px; overflow: hidden; white-space: nowrap; text-overflow: ellipsis; }',
        '.tv-title > button { width: 22px; height: 20px; margin: 0 2px; padding: 0; border: 0; background: none;',
        '  font: 14px sans-serif; }',
        '.tv-title > button:hover { background: #c4d0e0; } .tv-title > .tv-close:hover { background: #e04040; color: #fff; }',
        '.tv-title img { width: 16px; height: 16px; vertical-align: middle; }',
        '.tv-title svg, .tv-combo svg { display: block; margin: auto; }',
        '.tv-client { position: relative; }',
        '.tv-client > * { position: absolute; box-sizing: border-box; margin: 0; font: inherit; }',
        '.tv-client button { padding: 0 2px; border: 1px solid #8a8a8a; border-radius: 2px; background: #e8e8e8; }',
        '.tv-client button.tv-default { border: 2px solid #2060c0; }',
        '.tv-client button:focus-visible, .tv-client label:focus-within { outline: 1px dotted #000; }',
        '.tv-client input[type=text], .tv-client textarea { padding: 0 2px; border: 1px solid #8a8a8a;',
        '  background: #fff; color: #000; border-radius: 0; }',
        '.tv-client textarea { resize: none; white-space: pre-wrap; overflow-y: scroll; overflow-x: hidden; }',
        '.tv-client textarea[readonly] { background: #f8f8f8; }',
        '.tv-client label { display: flex; align-items: center; white-space: nowrap; }',
        '.tv-client label > input { margin: 0 4px 0 0; width: 13px; height: 13px; }',
        '.tv-text { overflow: hidden; white-space: nowrap; text-overflow: ellipsis; }',
        '.tv-text.tv-wrap { white-space: pre-wrap; overflow-wrap: anywhere; text-overflow: clip; }',
        '.tv-group { border: 1px solid #b0b0b0; }',
        '.tv-group > span { position: absolute; left: 6px; top: -0.7em; padding: 0 2px; background: #f0f0f0;',
        '  white-space: nowrap; }',
        '.tv-combo > input { position: absolute; left: 0; top: 0; width: 100%; height: 100%; box-sizing: border-box;',
        '  padding-right: 18px; }',
        '.tv-combo > button { position: absolute; right: 1px; top: 1px; bottom: 1px; width: 16px; padding: 0;',
        '  border: 0; border-left: 1px solid #b0b0b0; border-radius: 0; font-size: 8px; }',
        '.tv-list { position: absolute; left: 0; box-sizing: border-box; overflow-y: scroll; background: #fff;',
        '  border: 1px solid #6d6d6d; z-index: 1; }',
        '.tv-list > div { padding: 0 2px; white-space: nowrap; cursor: default; }',
        '.tv-list > div[aria-selected=true] { background: #0a64d6; color: #fff; }',
        '.tv-menu { position: absolute; left: 2px; top: 24px; z-index: 2; min-width: 160px; padding: 2px 0;',
        '  background: #fff; border: 1px solid #8a8a8a; box-shadow: 2px 2px 6px rgba(0,0,0,.25); font: 12px sans-serif; }',
        '.tv-menu > div[role=menuitem] { padding: 3px 20px; white-space: nowrap; }',
        '.tv-menu > div[role=menuitem]:focus, .tv-menu > div[role=menuitem]:hover { background: #0a64d6; color: #fff;',
        '  outline: none; }',
        '.tv-menu > div[role=separator] { margin: 3px 0; border-top: 1px solid #d0d0d0; }',
        '.tv-message, .tv-buttons { font: 12px sans-serif; }',
        '.tv-message { display: flex; gap: 12px; padding: 14px 14px 10px; white-space: pre-wrap;',
        '  overflow-wrap: anywhere; max-width: 460px; }',
        '.tv-mark { flex: none; width: 28px; height: 28px; border-radius: 50%; color: #fff; font: bold 18px/28px sans-serif;',
        '  text-align: center; }',
        '.tv-buttons { display: flex; justify-content: flex-end; gap: 8px; padding: 0 12px 12px; }',
        '.tv-buttons > button { min-width: 75px; height: 23px; }',
        '.tv-ended { font: 14px sans-serif; margin: 2em; }',
      ].join('\n');
      document.head.appendChild(css);
    },

    // The dialog font's family as CSS names it, and its base units: the
    // average width of "A".."Z" and "a".."z" and the font's height, as the
    // desktop programs take them, measured once for each font. "MS Sans
    // Serif" is drawn with its metric twins where it is missing.
    font: function (name, points) {
      var key = points + ' ' + name;
      return TV.fonts[key] || (TV.fonts[key] = TV.measureFont(name, points));
    },
    measureFont: function (name, points) {
      var families = '"' + name.replace(/"/g, '') + '"';
      if (name === 'MS Sans Serif') families += ', "Liberation Sans", Arial, Helvetica';
      families += ', sans-serif';
      var px = Math.round(points * 96 / 72);
      var context = document.createElement('canvas').getContext('2d');
      context.font = px + 'px ' + families;
      var m = context.measureText('ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz');
      var baseX = Math.max(1, Math.floor((Math.floor(Math.floor(m.width) / 26) + 1) / 2));
      var baseY = m.fontBoundingBoxAscent !== undefined
        ? Math.ceil(m.fontBoundingBoxAscent) + Math.ceil(m.fontBoundingBoxDescent) : Math.ceil(px * 1.15);
      return { css: px + 'px ' + families, baseX: baseX, baseY: Math.max(1, baseY) };
    },

    // Icon `id` at `size` pixels: the picture of that size, else the largest.
    iconUrl: function (id, size) {
      var pictures = TV.icons[id];
      if (!pictures || pictures.length === 0) return null;
      var best = pictures[0];
      for (var i = 0; i < pictures.length && best.size !== size; i++) {
        if (pictures[i].size === size || pictures[i].size > best.size) best = pictures[i];
      }
      return best.url || (best.url = TV.svgOf(best.xpm));
    },
    // An XPM picture as an SVG picture: one path per colour, each row's runs
    // of that colour a rectangle. Text work alone, with no canvas to create
    // or PNG to encode before the first dialog shows.
    svgOf: function (xpm) {
      var line = function (i) { return UTF8ToString(HEAPU32[(xpm >> 2) + i]); };
      var head = line(0).trim().split(/\s+/).map(Number);
      var w = head[0], h = head[1], colours = head[2], cpp = head[3];
      var table = {}, paths = {};
      for (var i = 0; i < colours; i++) {
        var entry = line(1 + i);
        var value = entry.slice(cpp).trim().split(/\s+/);
        var colour = value[value.indexOf('c') + 1];
        table[entry.slice(0, cpp)] = colour && colour.toLowerCase() !== 'none' ? colour : null;
      }
      for (var y = 0; y < h; y++) {
        var row = line(1 + colours + y);
        for (var x = 0; x < w;) {
          var fill = table[row.substr(x * cpp, cpp)];
          var run = 1;
          while (x + run < w && table[row.substr((x + run) * cpp, cpp)] === fill) run++;
          if (fill) paths[fill] = (paths[fill] || '') + 'M' + x + ' ' + y + 'h' + run + 'v1h-' + run + 'z';
          x += run;
        }
      }
      var svg = '<svg xmlns="http://www.w3.org/2000/svg" width="' + w + '" height="' + h + '" viewBox="0 0 ' + w +
        ' ' + h + '" shape-rendering="crispEdges">';
      for (var colour in paths) svg += '<path fill="' + colour + '" d="' + paths[colour] + '"/>';
      return 'data:image/svg+xml,' + encodeURIComponent(svg + '</svg>');
    },
    // Dialog units to pixels: x units at baseX / 4, y units at baseY / 8.
    px: function (d, units, per) {
      var base = per === 4 ? d.font.baseX : d.font.baseY;
      return Math.floor((units * base + per / 2) / per);
    },

    anyIcon: function () {
      for (var id in TV.icons) return TV.iconUrl(id, 16);
      return null;
    },

    // A modal layer with a title bar; `role` 'dialog' or 'alertdialog'.
    frame: function (caption, systemMenu, role) {
      TV.style();
      var handle = TV.next++;
      var el = document.createElement('dialog');
      el.className = 'tv-dialog';
      el.setAttribute('role', role);
      el.id = 'tv' + handle;
      var d = { handle: handle, el: el, controls: [], menu: null, menuButton: null, before: document.activeElement };

      var bar = document.createElement('div');
      bar.className = 'tv-title';
      var title = document.createElement('span');
      title.id = el.id + '-title';
      title.textContent = caption;
      el.setAttribute('aria-labelledby', title.id);
      if (systemMenu) {
        var menuButton = document.createElement('button');
        menuButton.tabIndex = -1;
        menuButton.setAttribute('aria-label', 'Window menu');
        menuButton.setAttribute('aria-haspopup', 'menu');
        menuButton.setAttribute('aria-expanded', 'false');
        var url = TV.anyIcon();
        if (url) { var img = document.createElement('img'); img.alt = ''; img.src = url; menuButton.appendChild(img); }
        else menuButton.innerHTML = TV.marks.menu;
        menuButton.addEventListener('mousedown', function (e) { e.preventDefault(); });
        menuButton.addEventListener('click', function () { TV.toggleMenu(d); });
        bar.appendChild(menuButton);
        d.menuButton = menuButton;
        var menu = document.createElement('div');
        menu.className = 'tv-menu';
        menu.setAttribute('role', 'menu');
        menu.setAttribute('aria-label', 'Window menu');
        menu.hidden = true;
        menu.addEventListener('keydown', function (e) { TV.menuKey(d, e); });
        d.menu = menu;
        TV.addMenuItem(d, -1, 'Close');
      }
      bar.appendChild(title);
      if (systemMenu) {
        var close = document.createElement('button');
        close.className = 'tv-close';
        close.tabIndex = -1;
        close.setAttribute('aria-label', 'Close');
        close.innerHTML = TV.marks.close;
        close.addEventListener('mousedown', function (e) { e.preventDefault(); });
        close.addEventListener('click', function () { TV.post(handle, TV.CLOSE, 0); });
        bar.appendChild(close);
      }
      // The title bar moves the dialog, as a window's does.
      bar.addEventListener('pointerdown', function (e) {
        if (e.target !== bar && e.target !== title) return;
        var r = el.getBoundingClientRect(), dx = e.clientX - r.left, dy = e.clientY - r.top;
        var move = function (m) { el.style.left = (m.clientX - dx) + 'px'; el.style.top = (m.clientY - dy) + 'px'; };
        var up = function () { removeEventListener('pointermove', move); removeEventListener('pointerup', up); };
        addEventListener('pointermove', move);
        addEventListener('pointerup', up);
      });
      el.appendChild(bar);
      if (d.menu) el.appendChild(d.menu);
      // Escape is the program's: the page's own cancelling is switched off.
      el.addEventListener('cancel', function (e) { e.preventDefault(); });
      el.addEventListener('close', function () { if (TV.dialogs[handle]) el.showModal(); });
      TV.dialogs[handle] = d;
      return d;
    },

    addMenuItem: function (d, command, text) {
      var item = document.createElement('div');
      if (command === -2) {
        item.setAttribute('role', 'separator');
      } else {
        item.setAttribute('role', 'menuitem');
        item.tabIndex = -1;
        item.textContent = TV.plain(text);
        item.addEventListener('click', function () { TV.pickMenu(d, item, command); });
      }
      d.menu.appendChild(item);
    },
    pickMenu: function (d, item, command) {
      TV.closeMenu(d);
      if (command === -1) TV.post(d.handle, TV.CLOSE, 0);
      else TV.post(d.handle, TV.SYSCOMMAND, command);
    },
    toggleMenu: function (d) {
      if (!d.menu.hidden) { TV.closeMenu(d); return; }
      d.menuReturn = document.activeElement;
      d.menu.hidden = false;
      d.menuButton.setAttribute('aria-expanded', 'true');
      d.menu.querySelector('[role=menuitem]').focus();
    },
    closeMenu: function (d) {
      if (!d.menu || d.menu.hidden) return;
      d.menu.hidden = true;
      d.menuButton.setAttribute('aria-expanded', 'false');
      if (d.menuReturn && d.menuReturn.focus) d.menuReturn.focus();
    },
    menuKey: function (d, e) {
      var items = Array.prototype.slice.call(d.menu.querySelectorAll('[role=menuitem]'));
      var at = items.indexOf(document.activeElement);
      if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
        var step = e.key === 'ArrowDown' ? 1 : items.length - 1;
        items[(at + step) % items.length].focus();
      } else if (e.key === 'Enter' || e.key === ' ') {
        if (at >= 0) items[at].click();
      } else if (e.key === 'Escape' || e.key === 'Tab' || (e.key === ' ' && e.altKey)) {
        TV.closeMenu(d);
      } else {
        return;
      }
      e.preventDefault();
      e.stopPropagation();
    },

    // Enter, Escape, F1 and Alt+Space go to the program; Tab wraps round
    // the dialog's tab stops, as in a desktop dialog.
    dialogKey: function (d, e) {
      if (e.defaultPrevented || e.ctrlKey || e.metaKey) return;
      if (e.key === 'Enter' && !e.altKey) {
        TV.post(d.handle, TV.ENTER, TV.focusIndex(d));
      } else if (e.key === 'Escape' && !e.altKey && !e.shiftKey) {
        TV.post(d.handle, TV.ESCAPE, 0);
      } else if (e.key === 'F1' && !e.altKey && !e.shiftKey) {
        TV.post(d.handle, TV.HELP, 0);
      } else if (e.key === ' ' && e.altKey) {
        TV.post(d.handle, TV.ALT_SPACE, 0);
      } else if ((e.key === 'Tab' || e.keyCode === 9) && !e.altKey) {  // WebKitGTK names Shift+Tab otherwise
        var stops = Array.prototype.filter.call(d.client.querySelectorAll('input, textarea, button'),
          function (c) { return c.tabIndex >= 0 && !c.disabled; });
        if (stops.length === 0) return;
        var first = stops[0], last = stops[stops.length - 1];
        if (e.shiftKey && document.activeElement === first) last.focus();
        else if (!e.shiftKey && document.activeElement === last) first.focus();
        else return;
      } else {
        return;
      }
      e.preventDefault();
    },

    // The index of the control holding the focus, -1 for none.
    focusIndex: function (d) {
      var at = document.activeElement;
      for (var i = 0; i < d.controls.length; i++) {
        var c = d.controls[i];
        if (c && (c.el === at || c.el.contains(at))) return i;
      }
      return -1;
    },

    // The Days-style combo box: an edit field, an "Open list" button and a
    // list of its own that drops below the field. While the list is open,
    // the arrow keys move through it, showing each item in the field, as a
    // desktop combo does; Enter picks the highlighted item and Escape gives
    // the field back what it showed before, each closing the list.
    combo: function (d, c, x, y, cx, cy, editHeight) {
      var box = document.createElement('div');
      box.className = 'tv-combo';
      var input = document.createElement('input');
      input.type = 'text';
      input.id = d.el.id + '-c' + c.index;
      input.autocomplete = 'off';
      input.spellcheck = false;
      input.setAttribute('role', 'combobox');
      input.setAttribute('aria-autocomplete', 'none');
      input.setAttribute('aria-expanded', 'false');
      var button = document.createElement('button');
      button.type = 'button';
      button.tabIndex = -1;
      button.innerHTML = TV.marks.arrow;
      button.setAttribute('aria-label', 'Open list');
      button.setAttribute('aria-controls', input.id + '-list');
      button.setAttribute('aria-expanded', 'false');
      var list = document.createElement('div');
      list.className = 'tv-list';
      list.id = input.id + '-list';
      list.setAttribute('role', 'listbox');
      list.tabIndex = -1;
      list.hidden = true;
      list.style.top = editHeight + 'px';
      list.style.width = cx + 'px';
      list.style.height = Math.max(editHeight, cy - editHeight) + 'px';
      input.setAttribute('aria-controls', list.id);
      box.appendChild(input);
      box.appendChild(button);
      box.appendChild(list);
      c.input = input;
      c.button = button;
      c.list = list;
      c.items = [];
      c.filled = 0;
      c.selection = -1;
      c.highlight = -1;

      input.addEventListener('input', function () { c.dirty = true; c.picked = -1; c.selection = -1; });
      input.addEventListener('keydown', function (e) { TV.comboKey(c, e); });
      input.addEventListener('blur', function () {
        setTimeout(function () { if (document.activeElement !== input) TV.closeList(c); });
      });
      button.addEventListener('mousedown', function (e) { e.preventDefault(); });
      button.addEventListener('click', function () {
        input.focus();
        if (c.list.hidden) TV.dropList(c); else TV.closeList(c);
      });
      list.addEventListener('mousedown', function (e) { e.preventDefault(); });
      list.addEventListener('click', function (e) {
        var option = e.target.closest('[role=option]');
        if (!option) return;
        TV.pick(c, Number(option.dataset.index));
        TV.closeList(c);
      });
      d.el.addEventListener('pointerdown', function (e) {
        if (!c.list.hidden && !box.contains(e.target)) TV.closeList(c);
      });
      c.el = box;
      c.focusable = input;
      return box;
    },
    optionId: function (c, index) { return c.list.id + '-' + index; },
    fillList: function (c) {
      for (; c.filled < c.items.length; c.filled++) {
        var option = document.createElement('div');
        option.setAttribute('role', 'option');
        option.id = TV.optionId(c, c.filled);
        option.dataset.index = c.filled;
        option.setAttribute('aria-selected', 'false');
        option.textContent = c.items[c.filled];
        c.list.appendChild(option);
      }
    },
    setHighlight: function (c, index) {
      if (c.highlight >= 0 && c.list.children[c.highlight])
        c.list.children[c.highlight].setAttribute('aria-selected', 'false');
      c.highlight = index;
      if (index < 0) { c.input.removeAttribute('aria-activedescendant'); return; }
      var option = c.list.children[index];
      option.setAttribute('aria-selected', 'true');
      c.input.setAttribute('aria-activedescendant', option.id);
      var top = option.offsetTop, bottom = top + option.offsetHeight;
      if (top < c.list.scrollTop) c.list.scrollTop = top;
      else if (bottom > c.list.scrollTop + c.list.clientHeight) c.list.scrollTop = bottom - c.list.clientHeight;
    },
    // The item the field stands for: the one selected, else the first that
    // begins with its text (case ignored).
    currentItem: function (c) {
      if (c.selection >= 0) return c.selection;
      var text = c.input.value.toLowerCase();
      if (text === '') return -1;
      for (var i = 0; i < c.items.length; i++) if (c.items[i].toLowerCase().startsWith(text)) return i;
      return -1;
    },
    dropList: function (c) {
      if (!c.list.hidden) return;
      TV.fillList(c);
      c.list.hidden = false;
      c.input.setAttribute('aria-expanded', 'true');
      c.button.setAttribute('aria-expanded', 'true');
      c.button.setAttribute('aria-label', 'Close list');
      var current = TV.currentItem(c);
      c.before = { value: c.input.value, selection: c.selection, picked: c.picked, dirty: c.dirty };
      c.list.scrollTop = 0;
      TV.setHighlight(c, current);
      if (current >= 0) c.list.scrollTop = c.list.children[current].offsetTop;
    },
    closeList: function (c) {
      if (c.list.hidden) return;
      TV.setHighlight(c, -1);
      c.list.hidden = true;
      c.input.setAttribute('aria-expanded', 'false');
      c.button.setAttribute('aria-expanded', 'false');
      c.button.setAttribute('aria-label', 'Open list');
    },
    // Item `index` selected and shown in the field.
    pick: function (c, index) {
      c.selection = index;
      c.picked = index;
      c.dirty = false;
      c.input.value = c.items[index];
      if (!c.list.hidden) TV.setHighlight(c, index);
      c.input.select();
    },
    comboKey: function (c, e) {
      var key = e.key, down = key === 'ArrowDown', up = key === 'ArrowUp';
      var dropped = !c.list.hidden;
      if (key === 'F4' || (e.altKey && (up || down))) {
        if (dropped) TV.closeList(c); else TV.dropList(c);
      } else if (dropped && key === 'Tab') {
        TV.closeList(c);
        return;
      } else if (dropped && key === 'Escape') {
        // Escape gives the field back what it showed before the list dropped, and closes it.
        c.input.value = c.before.value;
        c.selection = c.before.selection;
        c.picked = c.before.picked;
        c.dirty = c.before.dirty;
        TV.closeList(c);
      } else if (dropped && key === 'Enter') {
        // Enter picks the highlighted item and closes the list; the dialog never sees it.
        if (c.highlight >= 0) TV.pick(c, c.highlight);
        TV.closeList(c);
      } else if (c.items.length > 0 && (up || down || (dropped && /^(PageUp|PageDown|Home|End)$/.test(key)))) {
        var from = dropped ? c.highlight : TV.currentItem(c);
        var page = dropped ? Math.max(1, Math.floor(c.list.clientHeight / (c.list.children[0].offsetHeight || 1)) - 1) : 1;
        var to = key === 'Home' ? 0 : key === 'End' ? c.items.length - 1
          : from < 0 ? 0 : from + (up ? -1 : down ? 1 : key === 'PageUp' ? -page : page);
        TV.pick(c, Math.min(Math.max(to, 0), c.items.length - 1));
      } else {
        return;
      }
      e.preventDefault();
      e.stopPropagation();
    },
  },

  tv_dialog_create__deps: ['$TV'],
  tv_dialog_create: function (caption, cx, cy, fontName, points, systemMenu) {
    var d = TV.frame(UTF8ToString(caption), systemMenu, 'dialog');
    d.font = TV.font(UTF8ToString(fontName), points);
    var client = document.createElement('div');
    client.className = 'tv-client';
    client.style.font = d.font.css;
    client.style.width = TV.px(d, cx, 4) + 'px';
    client.style.height = TV.px(d, cy, 8) + 'px';
    d.client = client;
    d.el.appendChild(client);
    d.el.addEventListener('keydown', function (e) { TV.dialogKey(d, e); });
    return d.handle;
  },

  tv_control_add__deps: ['$TV'],
  tv_control_add: function (handle, index, kind, caption, x, y, cx, cy, flags, iconId) {
    var d = TV.dialogs[handle];
    var text = UTF8ToString(caption);
    var px = { x: TV.px(d, x, 4), y: TV.px(d, y, 8), cx: TV.px(d, cx, 4), cy: TV.px(d, cy, 8) };
    var tabStop = flags & 1, isDefault = flags & 2, readOnly = flags & 4, multiLine = flags & 8, wrap = flags & 32;
    var c = { index: index, kind: kind, dirty: false, picked: -1, caption: text,
      rect: { x: x, y: y, cx: cx, cy: cy } };
    var el;
    switch (kind) {
      case 0:  // push button
        el = document.createElement('button');
        el.type = 'button';
        el.textContent = TV.plain(text);
        if (isDefault) el.className = 'tv-default';
        el.addEventListener('click', function () { TV.post(handle, TV.COMMAND, index); });
        c.focusable = el;
        break;
      case 1:  // check box
      case 2:  // radio button, a group of its own
        el = document.createElement('label');
        var box = document.createElement('input');
        box.type = kind === 1 ? 'checkbox' : 'radio';
        // A name of its own keeps every radio a group of its own in every engine.
        if (kind === 2) box.name = d.el.id + '-r' + index;
        box.addEventListener('click', function () { TV.post(handle, TV.COMMAND, index); });
        var span = document.createElement('span');
        span.textContent = TV.plain(text);
        el.appendChild(box);
        el.appendChild(span);
        c.focusable = box;
        c.box = box;
        c.span = span;
        break;
      case 3:  // edit box
        if (multiLine) {
          el = document.createElement('textarea');
          if (!wrap) el.wrap = 'off';
        } else {
          el = document.createElement('input');
          el.type = 'text';
          el.autocomplete = 'off';
          el.spellcheck = false;
        }
        el.readOnly = !!readOnly;
        el.id = d.el.id + '-c' + index;
        el.addEventListener('input', function () { c.dirty = true; });
        c.focusable = el;
        break;
      case 4: {  // combo box: px.cy is its height dropped down
        var editHeight = d.font.baseY + 8;
        el = TV.combo(d, c, px.x, px.y, px.cx, px.cy, editHeight);
        px.cy = editHeight;
        break;
      }
      case 5:  // group box
        el = document.createElement('div');
        el.className = 'tv-group';
        var legend = document.createElement('span');
        legend.textContent = TV.plain(text);
        el.appendChild(legend);
        c.span = legend;
        var half = Math.floor(d.font.baseY / 2);
        px.y += half;
        px.cy -= half;
        break;
      case 6:  // static text: two lines tall or more wraps at its width
        el = document.createElement('div');
        el.className = 'tv-text' + (px.cy >= 2 * d.font.baseY ? ' tv-wrap' : '');
        el.textContent = TV.plain(text);
        c.span = el;
        break;
      default:  // icon
        el = document.createElement('img');
        el.alt = '';
        var url = TV.iconUrl(iconId, 32);
        if (url) el.src = url;
        px.cx = px.cy = 32;
        break;
    }
    if (c.focusable && !tabStop && kind !== 3 && kind !== 4) c.focusable.tabIndex = -1;
    if (!c.el) c.el = el;
    el.style.left = px.x + 'px';
    el.style.top = px.y + 'px';
    el.style.width = px.cx + 'px';
    el.style.height = px.cy + 'px';
    d.controls[index] = c;
    d.client.appendChild(el);
  },

  tv_control_group__deps: ['$TV'],
  tv_control_group: function (handle, index, box, position, count) {
    var c = TV.dialogs[handle].controls[index];
    c.group = box;
    if (count > 0 && c.box) {
      c.box.setAttribute('aria-posinset', position);
      c.box.setAttribute('aria-setsize', count);
    }
  },

  // Once every control exists: each edit and combo box is named after the
  // text in front of it, or else the group box around it (and that text
  // labels it, so a click on it moves the focus there); every control that
  // takes the focus in a group box has the box's caption as its
  // description, where that is not its name already. Then the dialog is
  // shown, modal.
  tv_dialog_show__deps: ['$TV'],
  tv_dialog_show: function (handle) {
    var d = TV.dialogs[handle];
    var groupOf = function (c) { return c.group >= 0 ? d.controls[c.group] : null; };
    document.body.appendChild(d.el);
    d.controls.forEach(function (c, i) {
      if (!c || (c.kind !== 3 && c.kind !== 4)) return;
      var label = i > 0 && d.controls[i - 1] && d.controls[i - 1].kind === 6 ? d.controls[i - 1] : null;
      if (!label) label = groupOf(c);
      if (!label) return;
      c.focusable.setAttribute('aria-label', TV.spoken(label.caption));
      if (label.kind === 6) {
        var l = document.createElement('label');
        l.className = label.el.className;
        l.style.cssText = label.el.style.cssText;
        l.textContent = label.el.textContent;
        l.htmlFor = c.focusable.id;
        label.el.replaceWith(l);
        label.el = label.span = l;
      }
    });
    d.controls.forEach(function (c, i) {
      var group = c && c.focusable && c.focusable.tabIndex >= 0 ? groupOf(c) : null;
      if (!group) return;
      var name = c.focusable.getAttribute('aria-label') || (c.span ? c.span.textContent : '');
      if (TV.spoken(group.caption) === name) return;
      group.span.id = d.el.id + '-g' + c.group;
      c.focusable.setAttribute('aria-describedby', group.span.id);
    });
    d.el.showModal();
  },

  tv_dialog_destroy__deps: ['$TV'],
  tv_dialog_destroy: function (handle) {
    var d = TV.dialogs[handle];
    if (!d) return;
    delete TV.dialogs[handle];
    if (d.el.open) d.el.close();
    d.el.remove();
    TV.queue = TV.queue.filter(function (e) { return e.handle !== handle; });
    if (d.before && d.before.isConnected && d.before.focus) d.before.focus();
  },

  tv_value__deps: ['$TV', 'malloc'],
  tv_value: function (handle, index) {
    var c = TV.dialogs[handle].controls[index];
    var s = c.input ? c.input.value : c.focusable.value;
    var n = lengthBytesUTF8(s) + 1;
    var p = _malloc(n);
    if (p) stringToUTF8(s, p, n);
    return p;
  },

  // 0: the text is as the program last set it; 1: the user changed it;
  // 2 + k: the user picked list item k.
  tv_text_state__deps: ['$TV'],
  tv_text_state: function (handle, index) {
    var c = TV.dialogs[handle].controls[index];
    if (c.picked >= 0 && !c.dirty) return 2 + c.picked;
    return c.dirty ? 1 : 0;
  },

  tv_set_text__deps: ['$TV'],
  tv_set_text: function (handle, index, text, length) {
    var c = TV.dialogs[handle].controls[index];
    var s = length > 0 ? UTF8ToString(text, length) : '';
    c.dirty = false;
    c.picked = -1;
    if (c.input) { c.input.value = s; return; }
    if (c.kind === 3) { c.focusable.value = s; return; }
    c.caption = s;
    if (c.span) c.span.textContent = TV.plain(s);
    else if (c.el && c.kind === 0) c.el.textContent = TV.plain(s);
  },

  tv_check__deps: ['$TV'],
  tv_check: function (handle, index) {
    var box = TV.dialogs[handle].controls[index].box;
    return !box ? 0 : box.indeterminate ? 2 : box.checked ? 1 : 0;
  },
  tv_set_check__deps: ['$TV'],
  tv_set_check: function (handle, index, state) {
    var box = TV.dialogs[handle].controls[index].box;
    if (!box) return;
    box.indeterminate = state === 2;
    box.checked = state === 1;
  },

  tv_list_add__deps: ['$TV'],
  tv_list_add: function (handle, index, item) {
    var c = TV.dialogs[handle].controls[index];
    if (!c.items) return 0;
    c.items.push(UTF8ToString(item));
    if (!c.list.hidden) TV.fillList(c);
    return 1;
  },
  tv_list_selection__deps: ['$TV'],
  tv_list_selection: function (handle, index) {
    var c = TV.dialogs[handle].controls[index];
    return c.items ? c.selection : -1;
  },
  tv_list_select__deps: ['$TV'],
  tv_list_select: function (handle, index, item) {
    var c = TV.dialogs[handle].controls[index];
    if (!c.items) return;
    c.selection = item >= 0 && item < c.items.length ? item : -1;
    c.input.value = c.selection >= 0 ? c.items[c.selection] : '';
    c.dirty = false;
    c.picked = -1;
    if (!c.list.hidden) TV.setHighlight(c, c.selection);
  },
  tv_list_dropped__deps: ['$TV'],
  tv_list_dropped: function (handle, index) {
    var c = TV.dialogs[handle].controls[index];
    return c.list && !c.list.hidden ? 1 : 0;
  },
  tv_list_close__deps: ['$TV'],
  tv_list_close: function (handle, index) {
    var c = TV.dialogs[handle].controls[index];
    if (c.list) TV.closeList(c);
  },

  tv_focus__deps: ['$TV'],
  tv_focus: function (handle) { return TV.focusIndex(TV.dialogs[handle]); },
  tv_set_focus__deps: ['$TV'],
  tv_set_focus: function (handle, index) {
    var c = TV.dialogs[handle].controls[index];
    if (c && c.focusable) c.focusable.focus();
  },

  tv_frame__deps: ['$TV'],
  tv_frame: function (handle, out) {
    var r = TV.dialogs[handle].el.getBoundingClientRect();
    HEAP32[out >> 2] = Math.round(r.left);
    HEAP32[(out >> 2) + 1] = Math.round(r.top);
    HEAP32[(out >> 2) + 2] = Math.round(r.width);
    HEAP32[(out >> 2) + 3] = Math.round(r.height);
  },
  tv_move__deps: ['$TV'],
  tv_move: function (handle, x, y) {
    var el = TV.dialogs[handle].el;
    el.style.left = x + 'px';
    el.style.top = y + 'px';
  },
  tv_visible__deps: ['$TV'],
  tv_visible: function (handle) {
    var d = TV.dialogs[handle];
    return d && d.el.open && document.visibilityState !== 'hidden' ? 1 : 0;
  },
  tv_work_area: function (out) {
    HEAP32[out >> 2] = 0;
    HEAP32[(out >> 2) + 1] = 0;
    HEAP32[(out >> 2) + 2] = document.documentElement.clientWidth;
    HEAP32[(out >> 2) + 3] = document.documentElement.clientHeight;
  },

  tv_set_icon__deps: ['$TV'],
  tv_set_icon: function (handle, iconId) {
    var d = TV.dialogs[handle];
    var url = TV.iconUrl(iconId, 16);
    if (!url || !d.menuButton) return;
    d.menuButton.textContent = '';
    var img = document.createElement('img');
    img.alt = '';
    img.src = url;
    d.menuButton.appendChild(img);
  },
  tv_menu_open__deps: ['$TV'],
  tv_menu_open: function (handle) {
    var d = TV.dialogs[handle];
    if (d.menu && d.menu.hidden) TV.toggleMenu(d);
  },

  // A separator is command -2.
  tv_menu_add__deps: ['$TV'],
  tv_menu_add: function (handle, command, text) {
    var d = TV.dialogs[handle];
    if (!d.menu) return 0;
    TV.addMenuItem(d, command, text ? UTF8ToString(text) : '');
    return 1;
  },

  // An icon picture in XPM form (static data of the program), kept by its
  // size and made into a picture when a dialog first shows it.
  tv_add_icon__deps: ['$TV'],
  tv_add_icon: function (iconId, xpm) {
    var size = Number(UTF8ToString(HEAPU32[xpm >> 2]).trim().split(/\s+/)[0]);
    (TV.icons[iconId] = TV.icons[iconId] || []).push({ size: size, xpm: xpm, url: null });
  },

  // A message box: the text with the icon's mark, and the buttons, each
  // reporting its result id as a command.
  tv_message_create__deps: ['$TV'],
  tv_message_create: function (text, caption, buttons, icon) {
    var d = TV.frame(UTF8ToString(caption), true, 'alertdialog');
    var body = document.createElement('div');
    body.className = 'tv-message';
    var marks = { 16: ['\u2715', '#d13438'], 32: ['?', '#0a64d6'], 48: ['!', '#d08000'], 64: ['i', '#0a64d6'] };
    if (marks[icon]) {
      var mark = document.createElement('span');
      mark.className = 'tv-mark';
      mark.setAttribute('aria-hidden', 'true');
      mark.textContent = marks[icon][0];
      mark.style.background = marks[icon][1];
      body.appendChild(mark);
    }
    var message = document.createElement('div');
    message.id = d.el.id + '-text';
    message.textContent = UTF8ToString(text);
    body.appendChild(message);
    d.el.setAttribute('aria-describedby', message.id);
    d.el.appendChild(body);
    var row = document.createElement('div');
    row.className = 'tv-buttons';
    var sets = { 0: [[1, 'OK']], 1: [[1, 'OK'], [2, 'Cancel']], 3: [[6, 'Yes'], [7, 'No'], [2, 'Cancel']],
      4: [[6, 'Yes'], [7, 'No']] };
    var first = null;
    (sets[buttons] || sets[0]).forEach(function (b) {
      var button = document.createElement('button');
      button.type = 'button';
      button.textContent = b[1];
      button.addEventListener('click', function () { TV.post(d.handle, TV.COMMAND, b[0]); });
      row.appendChild(button);
      first = first || button;
    });
    first.className = 'tv-default';
    d.el.appendChild(row);
    d.client = row;
    d.el.addEventListener('keydown', function (e) {
      if (e.key === 'Escape') { e.preventDefault(); TV.post(d.handle, TV.ESCAPE, 0); }
      else if (e.key === ' ' && e.altKey) { e.preventDefault(); TV.toggleMenu(d); }
      else if (e.key === 'Tab') TV.dialogKey(d, e);
    });
    document.body.appendChild(d.el);
    d.el.showModal();
    first.focus();
    return d.handle;
  },

  // The page, read from the in-memory file system, shown in a new tab: over
  // http(s) a new window the page writes itself, which shares the opener's
  // cookies; from disk, where there are no cookies, a page of its own.
  tv_open_page__deps: ['$FS'],
  tv_open_page: function (path) {
    var bytes;
    try { bytes = FS.readFile(UTF8ToString(path)); } catch (e) { return 0; }
    if (/^https?:$/.test(location.protocol)) {
      var w = window.open('', '_blank');
      if (!w) return 0;
      w.document.open();
      w.document.write(new TextDecoder().decode(bytes));
      w.document.close();
      return 1;
    }
    var url = URL.createObjectURL(new Blob([bytes], { type: 'text/html' }));
    var opened = window.open(url, '_blank');
    setTimeout(function () { URL.revokeObjectURL(url); }, 60000);
    return opened ? 1 : 0;
  },

  tv_program_ended: function () {
    var p = document.createElement('p');
    p.className = 'tv-ended';
    p.id = 'tavrin-ended';
    p.textContent = 'Tavrin has ended. Reload the page to start it again.';
    document.body.appendChild(p);
  },
});
