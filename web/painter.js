// The Canvas 2D painter: the core's frame for an area, each command painted as it stands. It
// owns the backing store at the device pixel ratio and the retained memo canvas beside it.
// Every number it reads comes from the module's description.
'use strict';

function cssColour(value) {
  return '#' + ('00000' + (value | 0).toString(16)).slice(-6);
}

class Painter {
  // board: the core's description (boardDescription, written when the page is built); fonts: the CSS font of each font role.
  constructor(canvas, board, fonts) {
    this.canvas = canvas;
    this.context = canvas.getContext('2d', { alpha: false });
    this.board = board;
    this.fonts = fonts;
    this.memo = null;
    this.memoContext = null;
    this.memoEmpty = true;
    this.memoSize = [0, 0];
    this.memoRatio = 1;
    this.ratio = 1;
  }

  // A new backing store, blank until painted.
  allocate(deviceWidth, deviceHeight, ratio) {
    this.canvas.width = deviceWidth;
    this.canvas.height = deviceHeight;
    this.ratio = ratio;
  }

  // The memo raster at a new size; its strokes keep their places at the new ratio.
  fitMemo(deviceWidth, deviceHeight, ratio) {
    const old = this.memoEmpty ? null : this.memo, oldRatio = this.memoRatio;
    this.memoSize = [deviceWidth, deviceHeight];
    this.memoRatio = ratio;
    this.memo = null;
    if (old)
      this.memoCanvas().drawImage(old, 0, 0, old.width, old.height, 0, 0,
        old.width * ratio / oldRatio, old.height * ratio / oldRatio);
  }

  memoCanvas() {
    if (!this.memo) {
      this.memo = document.createElement('canvas');
      [this.memo.width, this.memo.height] = this.memoSize;
      this.memoContext = this.memo.getContext('2d');
    }
    return this.memoContext;
  }

  clearMemo() {
    if (this.memoEmpty)
      return;
    this.memoContext.clearRect(0, 0, this.memo.width, this.memo.height);
    this.memoEmpty = true;
  }

  drawMemo(x1, y1, x2, y2) {
    const m = this.memoCanvas(), pen = this.board.memo;
    m.setTransform(this.memoRatio, 0, 0, this.memoRatio, 0, 0);
    m.strokeStyle = cssColour(pen.colour);
    m.lineWidth = pen.width;
    m.lineCap = m.lineJoin = 'round';
    m.beginPath();
    m.moveTo(x1, y1);
    m.lineTo(x2, y2);
    m.stroke();
    this.memoEmpty = false;
  }

  // Repaints a logical area with the core's frame of it.
  paint(left, top, right, bottom) {
    this.paintList(_bm_frame(left, top, right, bottom));
  }

  // The count commands the module last listed, in the backing store's ratio.
  paintList(count) {
    const c = this.context, r = this.ratio;
    const stride = this.board.command.stride, base = _bm_draw_commands() >> 2;
    const trace = window.brinmoorTrace; // set by the page tests to see what was painted
    c.save();
    c.setTransform(r, 0, 0, r, 0, 0);
    for (let i = 0, at = base; i < count; ++i, at += stride) {
      if (trace)
        trace.push(Array.prototype.slice.call(HEAPF32.subarray(at, at + stride)));
      this.paintCommand(HEAPF32, at);
    }
    c.restore();
  }

  paintCommand(heap, at) {
    const c = this.context, f = this.board.command, kind = this.board.draw;
    const x1 = heap[at + f.x1], y1 = heap[at + f.y1], x2 = heap[at + f.x2], y2 = heap[at + f.y2];
    const size = heap[at + f.size], colour = cssColour(heap[at + f.colour]);
    const fill = heap[at + f.fill];
    switch (heap[at + f.kind]) {
    case kind.Clear:
      c.beginPath();
      c.rect(x1, y1, x2 - x1, y2 - y1);
      c.clip();
      c.fillStyle = colour;
      c.fillRect(x1, y1, x2 - x1, y2 - y1);
      break;
    case kind.Memo:
      if (this.memo) {
        const m = this.memoRatio;
        c.drawImage(this.memo, x1 * m, y1 * m, (x2 - x1) * m, (y2 - y1) * m, x1, y1, x2 - x1,
          y2 - y1);
      }
      break;
    case kind.Band:
      c.fillStyle = colour;
      c.fillRect(x1, y1, x2 - x1, y2 - y1);
      break;
    case kind.Segment:
      c.strokeStyle = colour;
      c.lineWidth = size;
      c.lineCap = 'butt';
      c.beginPath();
      c.moveTo(x1, y1);
      c.lineTo(x2, y2);
      c.stroke();
      break;
    case kind.Disc:
      c.fillStyle = colour;
      c.beginPath();
      c.arc(x1, y1, size, 0, 2 * Math.PI);
      c.fill();
      break;
    case kind.Shape:
      c.beginPath();
      if (heap[at + f.variant] === 0) {
        c.ellipse((x1 + x2) / 2, (y1 + y2) / 2, (x2 - x1) / 2, (y2 - y1) / 2, 0, 0, 2 * Math.PI);
      } else { // by arcs: roundRect is too new for the browsers schools keep
        c.moveTo(x1 + size, y1);
        c.arcTo(x2, y1, x2, y2, size);
        c.arcTo(x2, y2, x1, y2, size);
        c.arcTo(x1, y2, x1, y1, size);
        c.arcTo(x1, y1, x2, y1, size);
        c.closePath();
      }
      if (fill !== kind.NoColour) {
        c.fillStyle = cssColour(fill);
        c.fill();
      }
      c.strokeStyle = colour;
      c.lineWidth = 1;
      c.stroke();
      break;
    case kind.Text:
      if (fill !== kind.NoColour) {
        c.fillStyle = cssColour(fill);
        c.fillRect(x1, y1, x2 - x1, y2 - y1);
      }
      c.save();
      c.beginPath();
      c.rect(x1, y1, x2 - x1, y2 - y1);
      c.clip();
      c.font = this.fonts[heap[at + f.font]];
      c.fillStyle = colour;
      c.textBaseline = 'alphabetic';
      c.fillText(this.board.labels[heap[at + f.variant]].caption, x1, size);
      c.restore();
      break;
    default:
      throw new Error('unknown draw command ' + heap[at + f.kind]);
    }
  }
}
