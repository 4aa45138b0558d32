// The page around the game: the "Click to fly" cover, the full-screen button, the
// program's start with the arguments a desktop shortcut would give it, the player's files
// kept in IndexedDB, and a small hook for the page's tests (window.orvendale).
//   index.html                  plays: the game in a window the size of the page
//   index.html?check=NAME       checks the kept replay replays/NAME (--replay replays/NAME --check)
//   index.html?check=NAME&shot=N   ... and keeps the picture of frame N (orvendale.shot)
(function () {
  'use strict';
  const query = new URLSearchParams(location.search);
  const check = query.get('check');
  const shotFrame = +(query.get('shot') || 0);
  const hook = window.orvendale = {
    output: [], errors: [], exitCode: null, started: false, ready: false, shot: null,
    get frame() { return Module.orvStandIn ? Module.orvStandIn.frame : null; },
    get box() { return Module.orvStandIn ? Module.orvStandIn.box : null; },
    get locked() { return Module.orvStandIn ? Module.orvStandIn.locked : false; },
  };
  const $ = (id) => document.getElementById(id);
  // The program ends the way the toolchain ends one, by throwing its exit status up
  // through the browser's callback that last resumed it: an ending, not an error.
  const isExit = (e) => e && e.name === 'ExitStatus';
  window.addEventListener('error', (e) => { if (isExit(e.error)) e.preventDefault(); });
  window.addEventListener('unhandledrejection', (e) => { if (isExit(e.reason)) e.preventDefault(); });
  const canvas = $('canvas');

  function hasWebGL() {
    try {
      const c = document.createElement('canvas');
      return !!(window.WebGLRenderingContext && c.getContext('webgl'));
    } catch (e) { return false; }
  }

  // The data files come in /data; the game reads and writes in its working folder, /play,
  // which is kept in IndexedDB while playing (not for a check, which must start clean).
  function prepareFolder() {
    for (const name of FS.readdir('/data')) {
      if (name === '.' || name === '..') continue;
      FS.writeFile('/play/' + name, FS.readFile('/data/' + name));
      // A fixed time: the same file is not stored again at every visit.
      FS.utime('/play/' + name, 0, 0);
    }
    FS.chdir('/play');
  }

  function start(args) {
    if (hook.started) return;
    hook.started = true;
    prepareFolder();
    Module.callMain(args);
  }

  window.Module = {
    canvas: canvas,
    print: (line) => { hook.output.push(line); console.log(line); },
    printErr: (line) => { hook.errors.push(line); console.warn(line); },
    preRun: [function () {
      FS.mkdir('/play');
      if (check) {
        FS.mkdir('/play/replays');
        Module.addRunDependency('orv-replay');
        fetch('replays/' + encodeURIComponent(check)).then((r) => {
          if (!r.ok) throw new Error('replays/' + check + ': ' + r.status);
          return r.arrayBuffer();
        }).then((bytes) => {
          FS.writeFile('/play/replays/' + check, new Uint8Array(bytes));
        }).catch((e) => hook.errors.push(String(e))).finally(() => {
          Module.removeRunDependency('orv-replay');
        });
        return;
      }
      FS.mount(IDBFS, {}, '/play');
      Module.addRunDependency('orv-storage');
      FS.syncfs(true, (err) => {
        if (err) console.warn('orvendale: the browser keeps no files for this page:', err);
        Module.orvStandIn.persistent = !err;
        Module.removeRunDependency('orv-storage');
      });
    }],
    onRuntimeInitialized: function () {
      hook.ready = true;
      Module.orvStandIn.listen();
      Module.orvStandIn.onFrame = (frame) => {
        if (frame === shotFrame) hook.shot = canvas.toDataURL('image/png');
      };
      if (check) {
        start(['--replay', 'replays/' + check, '--check']);
        return;
      }
      const fly = $('fly');
      fly.disabled = false;
      fly.textContent = 'Click to fly';
    },
    onExit: function (code) {
      hook.exitCode = code;
      if (!check) {
        const ended = $('ended');
        ended.textContent = 'The game has ended (' + code + '). Reload the page to fly again.';
        ended.hidden = false;
      }
    },
  };

  document.addEventListener('DOMContentLoaded', () => {
    if (check) {
      document.body.classList.add('check');
      $('cover').hidden = true;
      return;
    }
    if (!hasWebGL()) {
      $('cover').hidden = true;
      $('no-webgl').hidden = false;
      hook.noWebGL = true;
      return;
    }
    $('full-screen').hidden = false;
    $('full-screen').addEventListener('click', () => {
      if (document.fullscreenElement) document.exitFullscreen();
      else document.documentElement.requestFullscreen().catch(() => {});
      canvas.focus();
    });
    $('fly').addEventListener('click', () => {
      // The click is the gesture browsers want before sound and a captured pointer.
      try {
        Module.orvStandIn.audio = new (window.AudioContext || window.webkitAudioContext)();
        Module.orvStandIn.audio.resume();
      } catch (e) { console.warn('orvendale: no sound:', e); }
      $('cover').hidden = true;
      canvas.focus();
      try {
        const locking = canvas.requestPointerLock();
        if (locking && locking.catch) locking.catch(() => {});
      } catch (e) { /* no capture: the pointer's motion still steers */ }
      const width = Math.max(320, Math.floor(window.innerWidth));
      const height = Math.max(240, Math.floor(window.innerHeight));
      start(['--window', '--size', width + 'x' + height]);
    });
  });
})();
