// The page around the game: loading, the click that starts it (browsers
// allow sound only after a gesture), the end, and MP3 files for the jukebox.
'use strict';
(function () {
  var cover = document.getElementById('cover');
  var status = document.getElementById('status');
  var canvas = document.getElementById('canvas');
  var ready = false, started = false, ended = false;
  var pageStart = performance.now();

  function say(text) { status.textContent = text; }

  window.Module = {
    canvas: canvas,
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
    setStatus: function (text) { if (text && !ready) say(text); },
    onRuntimeInitialized: function () {
      ready = true;
      window.brambleTimes.ready = performance.now() - pageStart;
      say('Click to play');
    },
    onGameEnd: function (code) {
      ended = true;
      window.brambleTimes.ended = performance.now() - pageStart;
      window.brambleExitCode = code;
      say('The game has ended. Click to play again.');
      cover.classList.remove('hidden');
    },
    onAbort: function (what) { say('The game stopped: ' + what); cover.classList.remove('hidden'); }
  };
  window.brambleTimes = {};

  cover.addEventListener('click', function () {
    if (ended) { location.reload(); return; }
    if (!ready || started) return;
    started = true;
    cover.classList.add('hidden');
    canvas.focus();
    window.brambleTimes.started = performance.now() - pageStart;
    // In a window: the page is the game's screen, and full screen needs a
    // gesture of its own.
    Module.callMain(['--window']);
  });

  // MP3 files picked or dropped go into the game folder, which is kept in
  // the browser's storage; the jukebox takes up to ten at each round's start.
  var folder = '/bramblecourt/';
  function safeName(name) {
    var base = name.replace(/^.*[\\/]/, '').replace(/[^A-Za-z0-9 ._()\-]/g, '_');
    return /\.mp3$/i.test(base) ? base : null;
  }
  function countTunes() {
    try {
      var n = FS.readdir(folder).filter(function (f) { return /\.mp3$/i.test(f); }).length;
      document.getElementById('tune-count').textContent = n ? '(' + n + ' in the folder)' : '';
    } catch (e) { /* before the program has started */ }
  }
  function addFiles(files) {
    var pending = 0;
    Array.prototype.forEach.call(files, function (file) {
      var name = safeName(file.name);
      if (!name) { console.warn('jukebox: ' + file.name + ' is not an MP3 file'); return; }
      pending++;
      file.arrayBuffer().then(function (bytes) {
        FS.writeFile(folder + name, new Uint8Array(bytes));
        Module.brambleStoragePersist(folder + name);
        if (--pending === 0) countTunes();
      });
    });
  }
  // Picking files or following a link is not the click that starts the game.
  ['tunes', 'about'].forEach(function (id) {
    document.getElementById(id).addEventListener('click', function (e) { e.stopPropagation(); });
  });
  document.getElementById('pick').addEventListener('change', function (e) {
    addFiles(e.target.files);
    e.target.value = '';
  });
  window.addEventListener('dragover', function (e) {
    e.preventDefault();
    document.body.classList.add('dropping');
  });
  window.addEventListener('dragleave', function () { document.body.classList.remove('dropping'); });
  window.addEventListener('drop', function (e) {
    e.preventDefault();
    document.body.classList.remove('dropping');
    if (e.dataTransfer && e.dataTransfer.files) addFiles(e.dataTransfer.files);
  });
  Module.postRun = [countTunes];
})();
