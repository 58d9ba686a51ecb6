// The page side of the web back end's contract host (WebHost.cpp). The
// browser test (run_web.mjs) takes the host's requests for input from
// `tvContract`, performs them with the browser's automation, and reads the
// outcome there once the suite has finished.
mergeInto(LibraryManager.library, {
  $TVC__deps: ['$TV'],
  $TVC__postset: 'TVC.start();',
  $TVC: {
    kTick: 0xFEED,
    ticking: false,
    menuTexts: {},
    start: function () {
      window.tvContract = {
        requests: [],
        clipboard: null,  // the text the browser test last read, or null
        exitCode: null,   // the suite's, once it has finished
        take: function () { return this.requests.splice(0); },
        // The dialog on top, into which keys go.
        top: function () { var h = TVC.topDialog(); return h ? TV.dialogs[h] : null; },
        // The text of the window-menu entry with `command`, as it shows.
        menuText: function (command) { return TVC.menuTexts[command]; },
      };
      var add = TV.addMenuItem;
      TV.addMenuItem = function (d, command, text) {
        add(d, command, text);
        TVC.menuTexts[command] = TV.plain(text);
      };
      // The innermost run takes a tick every few milliseconds while the
      // host has steps to run, one at a time.
      setInterval(function () {
        var top = TVC.topDialog();
        if (!TVC.ticking || !top) return;
        for (var i = 0; i < TV.queue.length; i++) {
          if (TV.queue[i].type === TV.SYSCOMMAND && TV.queue[i].arg === TVC.kTick) return;
        }
        TV.post(top, TV.SYSCOMMAND, TVC.kTick);
      }, 5);
    },
    topDialog: function () {
      var handles = Object.keys(TV.dialogs).map(Number);
      return handles.length ? Math.max.apply(null, handles) : 0;
    },
  },

  tvc_request__deps: ['$TVC'],
  tvc_request: function (json) { window.tvContract.requests.push(JSON.parse(UTF8ToString(json))); },
  tvc_set_ticking__deps: ['$TVC'],
  tvc_set_ticking: function (on) { TVC.ticking = !!on; },
  tvc_top_dialog__deps: ['$TVC'],
  tvc_top_dialog: function () { return TVC.topDialog(); },
  tvc_middle__deps: ['$TV'],
  tvc_middle: function (handle, index, out) {
    var d = TV.dialogs[handle];
    var el = index < 0 ? d.el.querySelector('.tv-close') : d.controls[index].el;
    var r = el.getBoundingClientRect();
    HEAP32[out >> 2] = Math.round(r.left + r.width / 2);
    HEAP32[(out >> 2) + 1] = Math.round(r.top + r.height / 2);
  },
  tvc_clipboard__deps: ['$TVC', 'malloc'],
  tvc_clipboard: function () {
    var text = window.tvContract.clipboard;
    if (text === null) return 0;
    window.tvContract.clipboard = null;
    var size = lengthBytesUTF8(text) + 1;
    var p = _malloc(size);
    stringToUTF8(text, p, size);
    return p;
  },
  tvc_finished__deps: ['$TVC'],
  tvc_finished: function (code) { window.tvContract.exitCode = code; },
});
