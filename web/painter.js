// The Canvas 2D painter: white, the memo raster, then the scene's items as the core lists
// them (visible ones touching the area, in drawing order, lines already cut to it). It owns
// the backing store at the device pixel ratio and the retained memo canvas beside it.
'use strict';

const kRecordSize = 10;

function cssColour(value) {
  return '#' + (value | 0).toString(16).padStart(6, '0');
}

function fontList() {
  const families = [];
  for (let i = 0, p; (p = _bm_font_family(i)); ++i)
    families.push('"' + UTF8ToString(p) + '"');
  return families.concat('sans-serif').join(', ');
}

class Painter {
  constructor(canvas, labelFont) {
    this.canvas = canvas;
    this.context = canvas.getContext('2d', { alpha: false });
    this.memo = null;
    this.memoContext = null;
    this.memoEmpty = true;
    this.ratio = 1;
    this.labelFont = labelFont; // index → { font, caption, ascent }
  }

  // A new backing store; the memo strokes keep their places at the new ratio. The memo canvas
  // is made only for the first stroke, since most sessions never draw one.
  allocate(deviceWidth, deviceHeight, ratio) {
    const old = this.memoEmpty ? null : this.memo, oldRatio = this.ratio;
    this.canvas.width = deviceWidth;
    this.canvas.height = deviceHeight;
    this.ratio = ratio;
    this.memo = null;
    if (old)
      this.memoCanvas().drawImage(old, 0, 0, old.width, old.height, 0, 0,
        old.width * ratio / oldRatio, old.height * ratio / oldRatio);
  }

  memoCanvas() {
    if (!this.memo) {
      this.memo = document.createElement('canvas');
      this.memo.width = this.canvas.width;
      this.memo.height = this.canvas.height;
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
    const m = this.memoCanvas();
    m.setTransform(this.ratio, 0, 0, this.ratio, 0, 0);
    m.strokeStyle = cssColour(_bm_memo_colour());
    m.lineWidth = _bm_memo_pen_width();
    m.lineCap = m.lineJoin = 'round';
    m.beginPath();
    m.moveTo(x1, y1);
    m.lineTo(x2, y2);
    m.stroke();
    this.memoEmpty = false;
  }

  // A logical rectangle as whole device pixels, at least one each way: thin lines and boxes
  // stay crisp at every ratio.
  snapped(left, top, right, bottom) {
    const r = this.ratio;
    const x = Math.round(left * r), y = Math.round(top * r);
    return [x, y, Math.max(1, Math.round(right * r) - x), Math.max(1, Math.round(bottom * r) - y)];
  }

  paint(left, top, right, bottom) {
    const c = this.context, r = this.ratio;
    const x0 = Math.max(0, Math.floor(left * r)), y0 = Math.max(0, Math.floor(top * r));
    const x1 = Math.min(this.canvas.width, Math.ceil(right * r));
    const y1 = Math.min(this.canvas.height, Math.ceil(bottom * r));
    if (x1 <= x0 || y1 <= y0)
      return;
    c.save();
    c.beginPath();
    c.rect(x0, y0, x1 - x0, y1 - y0);
    c.clip();
    c.fillStyle = '#fff';
    c.fillRect(x0, y0, x1 - x0, y1 - y0);
    if (!this.memoEmpty)
      c.drawImage(this.memo, x0, y0, x1 - x0, y1 - y0, x0, y0, x1 - x0, y1 - y0);
    const count = _bm_items(x0 / r, y0 / r, x1 / r, y1 / r);
    const base = _bm_item_records() >> 2;
    for (let i = 0; i < count; ++i)
      this.paintItem(HEAPF32.subarray(base + i * kRecordSize, base + (i + 1) * kRecordSize));
    c.restore();
  }

  paintItem(v) {
    const c = this.context, r = this.ratio;
    c.setTransform(r, 0, 0, r, 0, 0);
    switch (v[0]) {
    case 0: // axis-aligned line: whole device pixels
      c.setTransform(1, 0, 0, 1, 0, 0);
      c.fillStyle = cssColour(v[5]);
      c.fillRect(...this.snapped(v[1], v[2], v[3], v[4]));
      break;
    case 1:
      c.strokeStyle = cssColour(v[5]);
      c.lineWidth = v[6];
      c.lineCap = 'butt';
      c.beginPath();
      c.moveTo(v[1], v[2]);
      c.lineTo(v[3], v[4]);
      c.stroke();
      break;
    case 2:
      this.paintShape(v);
      break;
    case 3:
      this.paintLabel(v);
      break;
    case 4:
      c.fillStyle = cssColour(v[4]);
      c.beginPath();
      c.arc(v[1], v[2], v[3], 0, 2 * Math.PI);
      c.fill();
      break;
    }
  }

  paintShape([, kind, left, top, width, height, back, fill, border]) {
    const c = this.context;
    // The one-pixel outline lies inside the box.
    c.beginPath();
    if (kind === 0)
      c.ellipse(left + width / 2, top + height / 2, (width - 1) / 2, (height - 1) / 2, 0, 0,
        2 * Math.PI);
    else
      c.roundRect(left + 0.5, top + 0.5, width - 1, height - 1, Math.min(width, height) * 0.15);
    for (const colour of [back, fill]) {
      if (colour >= 0) {
        c.fillStyle = cssColour(colour);
        c.fill();
      }
    }
    c.strokeStyle = cssColour(border);
    c.lineWidth = 1;
    c.stroke();
  }

  paintLabel([, index, left, top, width, height, , fore, back]) {
    const c = this.context, label = this.labelFont[index];
    if (back >= 0) {
      c.setTransform(1, 0, 0, 1, 0, 0);
      c.fillStyle = cssColour(back);
      c.fillRect(...this.snapped(left, top, left + width, top + height));
      c.setTransform(this.ratio, 0, 0, this.ratio, 0, 0);
    }
    c.font = label.font;
    c.fillStyle = cssColour(fore);
    c.textBaseline = 'alphabetic';
    c.fillText(label.caption, left, top + label.ascent);
  }
}
