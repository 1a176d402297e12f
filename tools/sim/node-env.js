// The runner under node: the text's font (DejaVuSans.ttf) lies in the
// program's own folder, where scripts/web puts it, unless BRAMBLE_DATA names
// another folder.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  ENV['BRAMBLE_DATA'] = process.env['BRAMBLE_DATA'] || __dirname;
});
