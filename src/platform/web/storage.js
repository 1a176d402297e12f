// The game folder /bramblecourt kept in the browser's IndexedDB. Before the
// program starts, the folder is filled from IndexedDB. After the program has
// written a file whole (storage_persist), that one file is copied back as
// one record in one transaction: a reader (a reload, another tab) finds the
// old file or the new one, whole, never a mix, and files that another tab
// wrote meanwhile stay. With two tabs open the last whole write of a file
// wins, as with two programs on the desktop.
var brambleFolder = '/bramblecourt';
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  FS.mkdir(brambleFolder);
  if (typeof indexedDB === 'undefined') {
    console.warn('storage: no IndexedDB; the top ten lasts until the page is closed');
    return;
  }
  FS.mount(IDBFS, {}, brambleFolder);
  addRunDependency('bramble-storage');
  FS.syncfs(true, function (err) {
    if (err) console.error('storage: cannot read the saved game folder: ' + err);
    removeRunDependency('bramble-storage');
  });
});

(function () {
  var pending = 0;
  function finished(path, err) {
    if (err) console.error('storage: cannot save ' + path + ': ' + err);
    if (--pending === 0 && Module['onStorageSaved']) Module['onStorageSaved']();
  }
  Module['brambleStoragePersist'] = function (path) {
    if (typeof indexedDB === 'undefined' || path.indexOf(brambleFolder + '/') !== 0) return;
    var entry;
    try {
      var stat = FS.stat(path);
      // A copy: what is stored is the file as it is now.
      entry = { 'timestamp': stat.mtime, 'mode': stat.mode, 'contents': FS.readFile(path) };
    } catch (e) {
      console.error('storage: cannot read ' + path + ': ' + e);
      return;
    }
    pending++;
    IDBFS.getDB(brambleFolder, function (err, db) {
      if (err) return finished(path, err);
      var tx;
      try {
        tx = db.transaction([IDBFS.DB_STORE_NAME], 'readwrite');
        tx.objectStore(IDBFS.DB_STORE_NAME).put(entry, path);
      } catch (e) {
        return finished(path, e);
      }
      tx.oncomplete = function () { finished(path, null); };
      tx.onabort = function () { finished(path, tx.error || 'the write was aborted'); };
    });
  };
  Module['brambleStorageBusy'] = function () { return pending > 0; };
})();
