// What the page learns from the main loop's driver (loop.cpp) after every
// pass: the screen state it ran (the tests follow the screens by it), when
// the first frame was drawn, and the work of each pass by screen state
// (kept for the figures; the driver never waits inside a pass).
Module['bramblePassed'] = function (state, ms) {
  Module['gameState'] = state;
  if (Module['firstFrameMs'] === undefined) Module['firstFrameMs'] = performance.now();
  var all = Module['passMs'] = Module['passMs'] || {};
  var list = all[state] = all[state] || [];
  if (list.length < 100000) list.push(ms);
};
