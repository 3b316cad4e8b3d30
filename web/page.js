// The browser shell: HTML controls, pointer, key, focus and size events, each forwarded to
// the core in the module; what each call changed is carried out here and painted by Painter.
'use strict';

const kClearMemo = 1, kDrawMemo = 2, kRepaintNow = 4, kControls = 8;
const kArrows = { ArrowLeft: 0, ArrowRight: 1, ArrowUp: 2, ArrowDown: 3 };

function startPage() {
  const surface = document.getElementById('surface');
  const families = fontList();
  const fontOf = (role) => _bm_font_pixels(role) + 'px ' + families;
  const size = surface.getBoundingClientRect();
  _bm_create(size.width, size.height);
  // No-break spaces, since a title's runs of spaces collapse.
  document.title = UTF8ToString(_bm_window_caption()).replace(/ /g, '\u00a0');

  // Each caption measured once with its font; the core sizes its label box from it.
  const measure = surface.getContext('2d', { alpha: false });
  const labels = [];
  for (let i = 0; i < _bm_label_count(); ++i) {
    const font = fontOf(_bm_label_font(i) ? 2 : 1), caption = UTF8ToString(_bm_label_caption(i));
    measure.font = font;
    const m = measure.measureText(caption);
    labels.push({ font, caption, ascent: m.fontBoundingBoxAscent });
    _bm_set_label_size(i, Math.ceil(m.width),
      Math.ceil(m.fontBoundingBoxAscent + m.fontBoundingBoxDescent));
  }
  const painter = new Painter(surface, labels);
  let dirty = null; // logical area waiting for the next frame

  function paintNow() {
    if (dirty)
      painter.paint(...dirty);
    dirty = null;
  }

  function apply(pointer) {
    const c = HEAPF32.subarray(pointer >> 2, (pointer >> 2) + 9), flags = c[0];
    if (flags & kClearMemo)
      painter.clearMemo();
    if (flags & kDrawMemo)
      painter.drawMemo(c[1], c[2], c[3], c[4]);
    if (flags & kControls)
      refreshControls();
    if (!(c[5] < c[7] && c[6] < c[8]))
      return;
    if (!dirty)
      requestAnimationFrame(paintNow);
    dirty = dirty ? [Math.min(dirty[0], c[5]), Math.min(dirty[1], c[6]),
      Math.max(dirty[2], c[7]), Math.max(dirty[3], c[8])] : [c[5], c[6], c[7], c[8]];
    if (flags & kRepaintNow)
      paintNow();
  }

  const controls = createControls(surface, fontOf(0), apply);
  function refreshControls() {
    const states = _bm_control_states();
    controls.Command2_0.disabled = !(states & 1);
    controls.Command2_1.disabled = !(states & 2);
    controls.Check1.querySelector('input').checked = !!(states & 4);
  }
  refreshControls();

  listenToPointer(surface, apply);
  surface.addEventListener('keydown', (e) => {
    if (!(e.key in kArrows) || e.altKey || e.ctrlKey || e.metaKey)
      return;
    e.preventDefault();
    apply(_bm_arrow_key(kArrows[e.key], e.shiftKey ? 1 : 0));
  });

  // The viewport is the client area: a new size in CSS pixels refits the initial screen; a
  // new device pixel ratio alone only needs a new backing store.
  let box = null; // the device pixels the browser reports for the surface, where it does
  function fit() {
    const { width, height } = surface.getBoundingClientRect();
    const ratio = window.devicePixelRatio || 1;
    // An emulated ratio may leave the reported box at CSS pixels; the ratio decides then.
    const device = (reported, css) =>
      reported && Math.abs(reported - css * ratio) <= 1 ? reported : Math.round(css * ratio);
    const deviceWidth = device(box && box.inlineSize, width);
    const deviceHeight = device(box && box.blockSize, height);
    const sameStore = deviceWidth === surface.width && deviceHeight === surface.height;
    if (!sameStore || ratio !== painter.ratio) {
      painter.allocate(deviceWidth, deviceHeight, ratio);
      dirty = [0, 0, width, height];
    }
    // The core keeps the size in single precision.
    if (Math.fround(width) !== _bm_width() || Math.fround(height) !== _bm_height())
      apply(_bm_resize(width, height));
    paintNow();
  }
  fit();
  const observer = new ResizeObserver(([entry]) => {
    box = entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
    fit();
  });
  try {
    observer.observe(surface, { box: 'device-pixel-content-box' });
  } catch (e) {
    observer.observe(surface);
  }
  // A new ratio alone (another screen) leaves the CSS box as it was.
  (function watchRatio() {
    matchMedia('(resolution: ' + window.devicePixelRatio + 'dppx)')
      .addEventListener('change', () => { fit(); watchRatio(); }, { once: true });
  })();
}

// The six controls at their design places, in tab order before the surface.
function createControls(surface, font, apply) {
  const byName = {};
  for (let i = 0; i < _bm_control_count(); ++i) {
    const name = UTF8ToString(_bm_control_name(i)), caption = UTF8ToString(_bm_control_caption(i));
    const [kind, left, top, width, height, background, whiteText] =
      HEAPF32.subarray(_bm_control(i) >> 2, (_bm_control(i) >> 2) + 7);
    let element, input;
    if (kind === 0) {
      element = document.createElement('button');
      element.type = 'button';
      element.textContent = caption;
    } else {
      element = document.createElement('label');
      input = document.createElement('input');
      input.type = kind === 1 ? 'radio' : 'checkbox';
      input.name = name.replace(/_.*/, '');
      element.append(input, caption);
    }
    element.id = name;
    element.className = 'control';
    Object.assign(element.style, { left: left + 'px', top: top + 'px', width: width + 'px',
      height: height + 'px', font, background: cssColour(background) });
    if (whiteText)
      element.style.color = '#fff';
    surface.before(element);
    byName[name] = element;
  }
  const { Command1, Option1_0, Option1_1, Check1, Command2_0, Command2_1 } = byName;
  Command1.addEventListener('click', () => apply(_bm_click_reset()));
  [Option1_0, Option1_1].forEach((option, memo) => {
    const input = option.querySelector('input');
    input.checked = !!(_bm_control_states() & 8) === !!memo;
    input.addEventListener('change', () => apply(_bm_select_mode(memo)));
    input.addEventListener('click', () => apply(_bm_click_option()));
  });
  Check1.querySelector('input').addEventListener('click', () => apply(_bm_click_grid()));
  [Command2_0, Command2_1].forEach((button, i) =>
    button.addEventListener('click', () => apply(_bm_click_mark(i))));
  return byName;
}

// Mouse, finger and pen take one path: one pointer drags at a time, captured so that its
// release is never lost; every coalesced position is one move.
function listenToPointer(surface, apply) {
  let dragging = null, buttons = 0;
  const end = (call) => {
    dragging = null;
    apply(call());
  };
  surface.addEventListener('pointerdown', (e) => {
    if (dragging !== null && e.pointerId !== dragging)
      return;
    e.preventDefault();
    surface.focus({ preventScroll: true });
    dragging = e.pointerId;
    buttons = e.buttons;
    surface.setPointerCapture(e.pointerId);
    apply(_bm_press(e.clientX, e.clientY));
  });
  surface.addEventListener('pointermove', (e) => {
    if (e.pointerId !== dragging)
      return;
    if (e.button !== -1) { // a mouse button added or released during the drag
      const added = e.buttons & ~buttons;
      buttons = e.buttons;
      apply(added ? _bm_press(e.clientX, e.clientY) : _bm_release());
      return;
    }
    const moves = e.getCoalescedEvents ? e.getCoalescedEvents() : [];
    for (const m of moves.length ? moves : [e])
      apply(_bm_move(m.clientX, m.clientY));
  });
  surface.addEventListener('pointerup', (e) => {
    if (e.pointerId === dragging)
      end(_bm_release);
  });
  for (const type of ['pointercancel', 'lostpointercapture'])
    surface.addEventListener(type, (e) => {
      if (e.pointerId === dragging)
        end(_bm_end_drag);
    });
  const endAnyDrag = () => {
    if (dragging !== null && surface.hasPointerCapture(dragging))
      surface.releasePointerCapture(dragging);
    end(_bm_end_drag);
  };
  window.addEventListener('blur', endAnyDrag);
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden')
      endAnyDrag();
  });
  for (const type of ['contextmenu', 'auxclick', 'selectstart'])
    surface.addEventListener(type, (e) => e.preventDefault());
  surface.addEventListener('mousedown', (e) => e.preventDefault()); // middle-click autoscroll
}

// The module is compiled synchronously, so it may have started before this line.
if (Module.calledRun)
  startPage();
else
  Module.onRuntimeInitialized = startPage;
