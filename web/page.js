// The browser shell: HTML controls, pointer, key, focus and size events, each forwarded to
// the core in the module; what each call changed is carried out here and painted by Painter.
'use strict';

// The widths of the captions that pass `which`, as [label index, width] pairs, each measured
// with its font; the core makes each label's box as wide. The first use of the Japanese font
// is the slowest step before the first frame, and it needs only the board's description.
function captionWidths(board, which) {
  const measure = document.getElementById('surface').getContext('2d', { alpha: false });
  const widths = [];
  board.labels.forEach((label, i) => {
    if (!which(label))
      return;
    measure.font = board.fontPixels[label.font] + 'px ' + fontFamilies(board);
    widths.push([i, Math.ceil(measure.measureText(label.caption).width)]);
  });
  return widths;
}
// The first frame shows the figure: it needs the point names alone, measured at once, which is
// while the module compiles where the browser compiles it asynchronously. The note by the mark
// buttons, in a second font size, is measured after that frame, with the buttons.
const isPointName = (label) => label.font === boardDescription.fontRoles.Point;
const nameWidths = captionWidths(boardDescription, isPointName);

function startPage() {
  const surface = document.getElementById('surface');
  const size = surface.getBoundingClientRect();
  _bm_create(size.width, size.height);
  const board = boardDescription;
  const fonts = board.fontPixels.map((pixels) => pixels + 'px ' + fontFamilies(board));
  nameWidths.forEach(([i, width]) => _bm_set_label_width(i, width));
  const painter = new Painter(surface, board, fonts);
  let classroom = null; // started after the first frame, like the controls
  let dirty = null; // logical area waiting for the next frame

  function paintNow() {
    if (dirty)
      painter.paint(dirty[0], dirty[1], dirty[2], dirty[3]);
    dirty = null;
  }

  // What a board call changed, carried out in the record's order; the flags go back to the
  // caller, for a key's default.
  const field = board.change, flag = board.changeFlags;
  let controlBits = 0; // what the controls show, as the board last told it
  function apply(pointer) {
    const c = HEAPF32.subarray(pointer >> 2, (pointer >> 2) + field.size), flags = c[field.flags];
    if (flags & flag.FitMemo)
      painter.fitMemo(c[field.memoWidth], c[field.memoHeight], c[field.memoRatio]);
    if (flags & flag.ClearMemo)
      painter.clearMemo();
    if (flags & flag.DrawMemo)
      painter.drawMemo(c[field.memoX1], c[field.memoY1], c[field.memoX2], c[field.memoY2]);
    if (flags & flag.Controls) {
      controlBits = c[field.controls];
      showControls();
    }
    if (classroom)
      classroom.changed(flags, c[field.speechDelay]);
    if (flags & flag.CopyPicture)
      copyPicture(painter);
    const area = [c[field.left], c[field.top], c[field.right], c[field.bottom]];
    if (area[0] < area[2] && area[1] < area[3]) {
      if (!dirty)
        requestAnimationFrame(paintNow);
      dirty = dirty ? [Math.min(dirty[0], area[0]), Math.min(dirty[1], area[1]),
        Math.max(dirty[2], area[2]), Math.max(dirty[3], area[3])] : area;
      if (flags & flag.RepaintNow)
        paintNow();
    }
    return flags;
  }

  let controls = null; // made after the first frame, below
  function showControls() {
    if (!controls)
      return;
    const bits = board.controlBits;
    controls.forEach((element, i) => {
      const shown = controlBits >> (i * bits.BitsPerControl);
      const input = element.querySelector('input');
      (input || element).disabled = !(shown & bits.Enabled);
      if (input)
        input.checked = !!(shown & bits.Checked);
    });
  }

  // For the page tests: paint everything again, as a newly exposed window would.
  window.brinmoorRepaintAll = () => {
    dirty = [0, 0, _bm_width(), _bm_height()];
    paintNow();
  };
  // The viewport is the client area, reported to the board with its device pixel ratio; a new
  // backing store starts blank. Laying the page out for paper is no new size: the board stays
  // as it is, and the print style scales it to the paper. Chromium lays the page out for paper
  // between beforeprint and afterprint; the print query's changes tell it in any browser.
  // (Reading that query at start costs a first frame 3 ms.)
  let printing = false;
  let box = null; // the device pixels the browser reports for the surface, where it does
  function fit() {
    if (printing)
      return;
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
    apply(_bm_set_client_size(width, height, ratio));
    // The print style's size of the board, in CSS pixels.
    document.documentElement.style.setProperty('--board-width', _bm_width());
    document.documentElement.style.setProperty('--board-height', _bm_height());
    paintNow();
  }
  const observer = new ResizeObserver(([entry]) => {
    if (printing)
      return;
    box = entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
    fit();
  });
  // A new ratio alone (another screen) leaves the CSS box as it was. Safari before 16 knows
  // no resolution in dppx but its own device-pixel-ratio.
  let ratioQuery = null;
  function watchRatio() {
    if (ratioQuery)
      ratioQuery.removeEventListener('change', ratioChanged);
    const ratio = window.devicePixelRatio;
    ratioQuery = matchMedia('(resolution: ' + ratio + 'dppx)');
    if (!ratioQuery.matches)
      ratioQuery = matchMedia('(-webkit-device-pixel-ratio: ' + ratio + ')');
    ratioQuery.addEventListener('change', ratioChanged);
  }
  function ratioChanged() {
    if (printing)
      return; // watched again after printing
    fit();
    watchRatio();
  }
  function paperChanged(forPaper) {
    if (forPaper === printing)
      return;
    printing = forPaper;
    if (!printing) {
      fit();
      watchRatio();
    }
  }

  fit();
  // The controls with their note, the screen reader's words, the pointer and the keys, and
  // every watcher of size and paper come after the first frame, which needs none of them:
  // nobody presses on a board before seeing it.
  requestAnimationFrame(() => setTimeout(() => {
    listenToPointer(surface, apply);
    refuseBrowserMenus();
    surface.addEventListener('keydown', (e) => {
      let modifiers = 0;
      for (const name in board.modifiers)
        modifiers |= e[name] ? board.modifiers[name] : 0;
      const key = e.key in board.keys ? board.keys[e.key] : board.keys.Other;
      if (apply(_bm_key(key, modifiers)) & flag.KeyTaken)
        e.preventDefault();
    });
    captionWidths(board, (label) => !isPointName(label))
      .forEach(([i, width]) => apply(_bm_set_label_width(i, width)));
    classroom = startClassroom(surface, board);
    document.documentElement.style.setProperty('--focus-frame', cssColour(board.focusFrame));
    controls = createControls(board, apply);
    showControls();
    for (const element of controls)
      surface.parentNode.insertBefore(element, surface);
    try {
      observer.observe(surface, { box: 'device-pixel-content-box' });
    } catch (e) {
      observer.observe(surface);
    }
    watchRatio();
    window.addEventListener('beforeprint', () => paperChanged(true));
    window.addEventListener('afterprint', () => paperChanged(false));
    matchMedia('print').addEventListener('change', (e) => paperChanged(e.matches));
  }));
}

// The module's font list as CSS, ended with the platform's sans-serif.
function fontFamilies(board) {
  return board.fontFamilies.map((f) => '"' + f + '"').concat('sans-serif').join(', ');
}

// The six controls at their design places, in tab order, not yet in the page, each reporting
// its clicks to the board. Every length is in board pixels (--px), so that printing scales them
// with the surface.
function createControls(board, apply) {
  const px = (n) => 'calc(' + n + ' * var(--px))';
  const font = px(board.fontPixels[board.fontRoles.Control]) + ' ' + fontFamilies(board);
  return board.controls.map((design, i) => {
    let element, input;
    if (design.kind === board.controlKinds.PushButton) {
      element = document.createElement('button');
      element.type = 'button';
      element.textContent = design.caption;
      element.style.setProperty('--pressed', cssColour(design.pressed));
    } else {
      element = document.createElement('label');
      input = document.createElement('input');
      input.type = design.kind === board.controlKinds.OptionButton ? 'radio' : 'checkbox';
      input.name = design.name.replace(/_.*/, '');
      element.append(input, design.caption);
      clickOnRelease(element, input);
    }
    element.id = design.name;
    element.className = 'control';
    Object.assign(element.style, { left: px(design.left), top: px(design.top),
      width: px(design.width), height: px(design.height), font,
      background: cssColour(design.background), color: design.whiteText ? '#fff' : '' });
    (input || element).addEventListener('click', () => apply(_bm_click_control(i)));
    return element;
  });
}

// A main-button press and release anywhere on an option or check box works it, as on the
// desktop; Firefox takes one with a little movement between them on a label for a text
// selection and works nothing, so the release works the control where the label did not.
function clickOnRelease(label, input) {
  let pressed = false, worked = false;
  label.addEventListener('pointerdown', (e) => {
    pressed = e.button === 0;
    worked = false;
  });
  input.addEventListener('click', () => { worked = true; });
  label.addEventListener('pointerup', (e) => {
    if (!pressed || e.button !== 0)
      return;
    pressed = false;
    setTimeout(() => {
      if (!worked)
        input.click();
    });
  });
}

// Mouse, finger and pen take one path: one pointer drags at a time, captured so that its
// release is not lost; every coalesced position is one move. A press of any primary pointer
// takes the drag over, since the old pointer's end may never have come (WebKit sends none for
// a pen, a finger held still sends nothing, so no silence can tell); only a further finger
// during a finger drag is not primary and stays ignored.
function listenToPointer(surface, apply) {
  let dragging = null, buttons = 0;
  const lost = () => {
    dragging = null;
    buttons = 0;
    apply(_bm_pointer_lost());
  };
  surface.addEventListener('pointerdown', (e) => {
    if (dragging !== null && e.pointerId !== dragging && !e.isPrimary)
      return;
    // No compatibility mouse events, no selection: but in WebKit a pen whose press was
    // cancelled sends no move or release, so a pen keeps its default; touch-action and
    // user-select keep scrolling and selection off for it.
    if (e.pointerType !== 'pen')
      e.preventDefault();
    surface.focus({ preventScroll: true });
    if (dragging !== null && dragging !== e.pointerId && surface.hasPointerCapture(dragging))
      surface.releasePointerCapture(dragging);
    dragging = e.pointerId;
    buttons = e.buttons;
    surface.setPointerCapture(e.pointerId);
    apply(_bm_press(e.clientX, e.clientY, e.buttons, e.buttons));
  });
  // On the window: Firefox sends the move that adds a button to the element under the pointer,
  // past the surface's capture.
  window.addEventListener('pointermove', (e) => {
    if (e.pointerId !== dragging)
      return;
    // A button pressed or released during the drag comes as a move whose buttons differ:
    // judged by the buttons held, since WebKit reports button 0 on plain moves once a second
    // button has been pressed.
    const before = buttons;
    buttons = e.buttons;
    if (e.buttons & ~before)
      apply(_bm_press(e.clientX, e.clientY, e.buttons & ~before, e.buttons));
    else if (before & ~e.buttons)
      apply(_bm_release(before & ~e.buttons, e.buttons));
    if (e.buttons !== before)
      return;
    const moves = e.getCoalescedEvents ? e.getCoalescedEvents() : [];
    for (const m of moves.length ? moves : [e])
      apply(_bm_move(m.clientX, m.clientY));
  });
  surface.addEventListener('pointerup', (e) => {
    if (e.pointerId !== dragging)
      return;
    dragging = null;
    apply(_bm_release(buttons & ~e.buttons, e.buttons));
  });
  for (const type of ['pointercancel', 'lostpointercapture'])
    surface.addEventListener(type, (e) => {
      if (e.pointerId === dragging)
        lost();
    });
  const loseAnyDrag = () => {
    if (dragging !== null && surface.hasPointerCapture(dragging))
      surface.releasePointerCapture(dragging);
    lost();
  };
  window.addEventListener('blur', loseAnyDrag);
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden')
      loseAnyDrag();
  });
  surface.addEventListener('selectstart', (e) => e.preventDefault());
}

// No browser menu anywhere on the page, as the desktop window has none: a right or middle
// press on a control does nothing, and on the surface it only drags. A middle press would
// also start autoscrolling or pasting.
function refuseBrowserMenus() {
  document.addEventListener('contextmenu', (e) => e.preventDefault());
  document.addEventListener('auxclick', (e) => e.preventDefault());
  document.addEventListener('mousedown', (e) => {
    if (e.button !== 0)
      e.preventDefault();
  });
  // WebKitGTK still ends a right or middle press with a click, even one that claims the main
  // button, which would work a control: a pointer's click counts only after a main press.
  let mainPress = true;
  window.addEventListener('pointerdown', (e) => {
    mainPress = e.button === 0;
  }, true);
  window.addEventListener('click', (e) => {
    if (e.button !== 0 || (e.detail && !mainPress)) {
      e.preventDefault();
      e.stopPropagation();
    }
  }, true);
}

// A browser that fails to start the page shows the message the page holds for that.
function startOrExplain() {
  try {
    startPage();
  } catch (error) {
    showUnsupported();
    throw error;
  }
}
onModuleStarted(startOrExplain);
