// The browser stand-in's JavaScript half (built into orvendale.js ahead of the program):
// the page's events gathered for the next pump, the waits that hand the thread back to
// the browser (the next frame, the next event, a dialog's answer), the canvas's size, the
// captured pointer, Web Audio for wave-out, the Gamepad API for XInput, and keeping the
// game's files in the browser's storage. platform/web/*.cpp call it through EM_JS.
Module.orvStandIn = (function () {
  'use strict';
  const KEY_DOWN = 1, KEY_UP = 2, MOTION = 3, POINTER_AT = 4, CLICK = 5, FOCUS = 6;
  const VK_P = 0x50;

  const self = {
    events: [],
    wake: null,
    wantHidden: false,    // the game hides the cursor: it wants the pointer captured
    locked: false,
    selfRelease: false,   // the next loss of the capture is ours
    pausedByRelease: false,
    audio: null,          // the AudioContext the page made on the player's click
    players: {},
    nextPlayer: 1,
    buffersPlayed: 0,     // wave-out buffers the audio clock has played to their end
    padPackets: [0, 0, 0, 0],
    padLast: ['', '', '', ''],
    persistent: false,    // the game's folder is kept in IndexedDB
    syncing: false,
    unsaved: false,       // a frame was drawn since the folder was last kept
    saves: 0,             // times the folder was kept, and times the game slept: for the
    waits: 0,             // page's tests
    frame: null,          // the last frame's state, for the page's tests
    frames: 0,
    box: null,            // the dialog on show: {text, caption}
    captureRefused: null, // why the browser last refused the pointer's capture
  };

  function canvas() { return Module.canvas; }

  function post(e) {
    self.events.push(e);
    if (self.wake) { const w = self.wake; self.wake = null; w(); }
  }

  // KeyboardEvent.code to the Win32 virtual-key code; 0 for keys the game has no name for.
  // Escape is not among them: in the page it gives the pointer back (the browser insists)
  // and so pauses; a page has nothing to quit.
  function virtualKey(code) {
    let m = /^Key([A-Z])$/.exec(code);
    if (m) return m[1].charCodeAt(0);
    m = /^Digit([0-9])$/.exec(code);
    if (m) return m[1].charCodeAt(0);
    m = /^F([0-9]+)$/.exec(code);
    if (m && +m[1] >= 1 && +m[1] <= 12) return 0x6F + +m[1];
    const named = {
      Enter: 0x0D, NumpadEnter: 0x0D, Space: 0x20, Backspace: 0x08, Tab: 0x09,
      ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28,
      ShiftLeft: 0x10, ShiftRight: 0x10, ControlLeft: 0x11, ControlRight: 0x11,
      AltLeft: 0x12, AltRight: 0x12, Pause: 0x13, PageUp: 0x21, PageDown: 0x22,
      End: 0x23, Home: 0x24, Insert: 0x2D, Delete: 0x2E,
    };
    return named[code] || 0;
  }
  // Keys the browser would act on itself (scrolling, leaving the page's focus).
  const KEEP_FROM_BROWSER = new Set([0x20, 0x25, 0x26, 0x27, 0x28, 0x09, 0x08, 0x21, 0x22, 0x23, 0x24]);

  function pressP() {
    post([KEY_DOWN, VK_P, 0, 0x19]);
    post([KEY_UP, VK_P, 0, 0x19]);
  }

  function capture() {
    const c = canvas();
    if (!c || self.locked) return;
    try {
      const p = c.requestPointerLock();
      // Refused (too soon after the player let it go, say): the next click asks again.
      if (p && p.catch) p.catch((e) => { self.captureRefused = String(e && e.message || e); });
    } catch (e) { /* refused without a gesture: the next click asks again */ }
  }

  self.listen = function () {
    const c = canvas();
    window.addEventListener('keydown', (e) => {
      if (self.box) return;
      const vk = virtualKey(e.code);
      if (!vk) return;
      if (KEEP_FROM_BROWSER.has(vk)) e.preventDefault();
      post([KEY_DOWN, vk, e.repeat ? 1 : 0, 0]);
    });
    window.addEventListener('keyup', (e) => {
      if (self.box) return;
      const vk = virtualKey(e.code);
      if (!vk) return;
      if (KEEP_FROM_BROWSER.has(vk)) e.preventDefault();
      post([KEY_UP, vk, 0, 0]);
    });
    window.addEventListener('focus', () => post([FOCUS, 1, 0, 0]));
    window.addEventListener('blur', () => post([FOCUS, 0, 0, 0]));
    document.addEventListener('mousemove', (e) => {
      // A hidden cursor moves by the pointer's motion, captured or not (a browser may
      // refuse the capture; the motion still comes).
      if (self.locked || self.wantHidden) {
        post([MOTION, e.movementX | 0, e.movementY | 0, 0]);
      } else if (c) {
        const r = c.getBoundingClientRect();
        if (r.width <= 0 || r.height <= 0) return;
        post([POINTER_AT, Math.floor((e.clientX - r.left) * c.width / r.width),
              Math.floor((e.clientY - r.top) * c.height / r.height), 0]);
      }
    });
    c.addEventListener('mousedown', (e) => {
      if (e.button !== 0 || self.box) return;
      if (self.pausedByRelease) {
        // The click that resumes what the Escape key paused.
        self.pausedByRelease = false;
        capture();
        pressP();
        return;
      }
      if (self.wantHidden) capture();
      const r = c.getBoundingClientRect();
      post([CLICK, Math.floor((e.clientX - r.left) * c.width / r.width),
            Math.floor((e.clientY - r.top) * c.height / r.height), 0]);
    });
    document.addEventListener('pointerlockchange', () => {
      self.locked = document.pointerLockElement === c;
      if (self.locked) return;
      const ours = self.selfRelease;
      self.selfRelease = false;
      // The player took the pointer back (Escape) in the middle of a flight: pause.
      if (!ours && self.wantHidden && !self.pausedByRelease) {
        self.pausedByRelease = true;
        pressP();
      }
    });
    window.addEventListener('pagehide', () => self.persist());
    document.addEventListener('visibilitychange', () => {
      if (document.visibilityState === 'hidden') self.persist();
    });
  };

  // --- waits -------------------------------------------------------------------------
  self.nextFrame = function () {
    self.unsaved = true;
    return new Promise((resolve) => requestAnimationFrame(() => resolve()));
  };

  self.waitForEvent = function (ms) {
    // The game sleeps when it has nothing to draw (paused, the results): a good moment to
    // keep what it wrote. Once: a sleeping game wakes for every pointer motion, and every
    // 16 ms with a pad, and writes nothing until it draws again.
    self.waits++;
    if (self.unsaved) self.persist();
    return new Promise((resolve) => {
      if (self.events.length) { resolve(); return; }
      let timer = null;
      self.wake = () => { if (timer !== null) clearTimeout(timer); resolve(); };
      if (ms >= 0) timer = setTimeout(() => { self.wake = null; resolve(); }, ms);
    });
  };

  // --- the window and the cursor -----------------------------------------------------
  self.sizeCanvas = function (width, height) {
    const c = canvas();
    c.width = width;
    c.height = height;
  };

  self.wantPointer = function (hidden) {
    self.wantHidden = hidden;
    const c = canvas();
    if (c) c.style.cursor = hidden ? 'none' : 'default';
    if (hidden) {
      self.pausedByRelease = false;
      capture();
    } else if (self.locked) {
      self.selfRelease = true;
      document.exitPointerLock();
    }
  };

  // --- message boxes -------------------------------------------------------------------
  self.messageBox = function (text, caption, type) {
    if (self.locked) { self.selfRelease = true; document.exitPointerLock(); }
    const buttons = (type & 0xF) === 4 ? [['Yes', 6], ['No', 7]]
      : (type & 0xF) === 1 ? [['OK', 1], ['Cancel', 2]] : [['OK', 1]];
    const onEscape = (type & 0xF) === 4 ? 7 : (type & 0xF) === 1 ? 2 : 1;
    let dialog = document.getElementById('message-box');
    if (!dialog) {
      dialog = document.createElement('dialog');
      dialog.id = 'message-box';
      document.body.appendChild(dialog);
    }
    dialog.textContent = '';
    const title = document.createElement('h2');
    title.textContent = caption;
    const body = document.createElement('p');
    body.id = 'message-text';
    body.textContent = text;
    const row = document.createElement('div');
    row.className = 'buttons';
    dialog.append(title, body, row);
    self.box = { text: text, caption: caption };
    return new Promise((resolve) => {
      const answer = (value) => {
        dialog.removeEventListener('cancel', onCancel);
        if (dialog.open) dialog.close();
        self.box = null;
        resolve(value);
      };
      const onCancel = (e) => { e.preventDefault(); answer(onEscape); };
      dialog.addEventListener('cancel', onCancel);
      buttons.forEach(([label, value], i) => {
        const b = document.createElement('button');
        b.textContent = label;
        b.addEventListener('click', () => {
          // The click is a gesture: capture the pointer again if the game goes on with it.
          answer(value);
        });
        row.appendChild(b);
        if (i === 0) setTimeout(() => b.focus(), 0);
      });
      dialog.showModal();
    });
  };

  // --- wave-out --------------------------------------------------------------------------
  self.audioOpen = function (rate, channels, bits) {
    if (!self.audio) return 0;
    const id = self.nextPlayer++;
    self.players[id] = { rate: rate, channels: channels, bits: bits, next: 0, ends: [], sources: [] };
    return id;
  };

  self.audioWrite = function (id, data, bytes) {
    const p = self.players[id];
    const ctx = self.audio;
    const frameBytes = p.channels * p.bits / 8;
    const frames = Math.floor(bytes / frameBytes);
    const buffer = ctx.createBuffer(p.channels, frames, p.rate);
    for (let ch = 0; ch < p.channels; ch++) {
      const out = buffer.getChannelData(ch);
      if (p.bits === 16) {
        const base = (data >> 1) + ch;
        for (let i = 0; i < frames; i++) out[i] = HEAP16[base + i * p.channels] / 32768;
      } else {
        const base = data + ch;
        for (let i = 0; i < frames; i++) out[i] = (HEAPU8[base + i * p.channels] - 128) / 128;
      }
    }
    const source = ctx.createBufferSource();
    source.buffer = buffer;
    source.connect(ctx.destination);
    // Right after the buffer before; when the output ran dry, a little ahead of now.
    const start = Math.max(p.next, ctx.currentTime + 0.02);
    source.start(start);
    p.next = start + frames / p.rate;
    p.ends.push(p.next);
    p.sources.push(source);
    source.onended = () => { const i = p.sources.indexOf(source); if (i >= 0) p.sources.splice(i, 1); };
  };

  self.audioPlayed = function (id) {
    const p = self.players[id];
    if (!p) return 0;
    const now = self.audio.currentTime;
    let n = 0;
    while (n < p.ends.length && p.ends[n] <= now) n++;
    p.ends.splice(0, n);
    self.buffersPlayed += n;
    return n;
  };

  self.audioReset = function (id) {
    const p = self.players[id];
    if (!p) return;
    p.sources.forEach((s) => { try { s.stop(); } catch (e) { /* not started yet */ } });
    p.sources = [];
    p.ends = [];
    p.next = 0;
  };

  self.audioClose = function (id) { self.audioReset(id); delete self.players[id]; };

  // --- pads ------------------------------------------------------------------------------
  self.readPad = function (index, out) {
    const pads = navigator.getGamepads ? navigator.getGamepads() : [];
    const p = pads && pads[index];
    if (!p || !p.connected || p.mapping !== 'standard') return 0;
    // The standard layout's buttons in XInput's bits: A B X Y, the shoulders, Back, Start,
    // the sticks' clicks and the pad's four directions.
    const bits = [0x1000, 0x2000, 0x4000, 0x8000, 0x0100, 0x0200, 0, 0, 0x0020, 0x0010,
                  0x0040, 0x0080, 0x0001, 0x0002, 0x0004, 0x0008];
    let buttons = 0;
    bits.forEach((bit, i) => { if (bit && p.buttons[i] && p.buttons[i].pressed) buttons |= bit; });
    const trigger = (i) => Math.round(255 * (p.buttons[i] ? p.buttons[i].value : 0));
    const axis = (i, sign) => {
      const v = Math.max(-1, Math.min(1, (p.axes[i] || 0) * sign));
      return v < 0 ? Math.round(v * 32768) : Math.round(v * 32767);
    };
    const values = [buttons, trigger(6), trigger(7), axis(0, 1), axis(1, -1), axis(2, 1), axis(3, -1)];
    const key = values.join(',');
    if (key !== self.padLast[index]) { self.padLast[index] = key; self.padPackets[index]++; }
    values.push(self.padPackets[index]);
    for (let k = 0; k < 8; k++) HEAP32[(out >> 2) + k] = values[k];
    return 1;
  };

  // --- storage -----------------------------------------------------------------------------
  self.persist = function () {
    if (!self.persistent || self.syncing) return;
    self.syncing = true;
    self.unsaved = false;
    self.saves++;
    FS.syncfs(false, (err) => {
      self.syncing = false;
      if (err) {
        self.unsaved = true;  // tried again at the next sleep
        console.warn('orvendale: could not keep the game\'s files:', err);
      }
    });
  };

  return self;
})();
