// For the classroom: the drawing surface as a screen reader meets it, told in the core's words,
// and Ctrl+C (⌘C) copying the board as a picture. The page calls startClassroom once and hands
// every change record's flags to changed().
'use strict';

function startClassroom(surface, board, painter) {
  const flag = board.changeFlags;
  const words = (brief) => moduleText(_bm_description(brief ? 1 : 0));
  // An interactive role, so that a screen reader in browse mode passes the arrow keys on.
  surface.setAttribute('role', 'application');
  surface.setAttribute('aria-roledescription', '図');
  surface.setAttribute('aria-label', board.caption);
  const description = document.createElement('div');
  description.id = 'surface-description';
  description.hidden = true;
  surface.setAttribute('aria-describedby', description.id);
  // Spoken, so it must not be hidden; kept out of sight instead.
  const live = document.createElement('div');
  live.setAttribute('aria-live', 'polite');
  live.style.cssText = 'position:fixed;left:0;top:0;width:1px;height:1px;overflow:hidden;'
    + 'clip:rect(0 0 0 0);white-space:nowrap';
  surface.after(description, live);
  description.textContent = words(false);

  surface.addEventListener('keydown', (e) => {
    if (e.key === 'c' && (e.ctrlKey || e.metaKey) && !e.altKey && !e.shiftKey)
      copyBoard(e, painter);
  });

  let speaking = 0;
  return {
    changed(flags) {
      if (flags & flag.Described)
        description.textContent = words(false);
      // Held back a moment, so that a held arrow key is told where A came to rest.
      if (flags & flag.Announce) {
        clearTimeout(speaking);
        speaking = setTimeout(() => { live.textContent = words(true); }, 300);
      }
    },
  };
}

// Safari wants the clipboard item made within the key's handler, holding a promise of the
// image; a browser that takes only a finished image gets one on the second try. Firefox before
// 127 has no ClipboardItem and copies nothing.
function copyBoard(e, painter) {
  if (typeof ClipboardItem === 'undefined' || !navigator.clipboard)
    return;
  e.preventDefault();
  const png = new Promise((done) => boardPicture(painter).toBlob(done, 'image/png'));
  const write = (data) => navigator.clipboard.write([new ClipboardItem({ 'image/png': data })]);
  write(png).catch(() => png.then(write));
}

// White, the memo strokes and the core's draw list of the board alone, at the backing
// store's device pixels: the window without its controls and their panels.
function boardPicture(painter) {
  const picture = document.createElement('canvas');
  picture.width = painter.canvas.width;
  picture.height = painter.canvas.height;
  const c = picture.getContext('2d', { alpha: false }), r = painter.ratio;
  c.fillStyle = '#fff';
  c.fillRect(0, 0, picture.width, picture.height);
  if (!painter.memoEmpty)
    c.drawImage(painter.memo, 0, 0);
  c.setTransform(r, 0, 0, r, 0, 0);
  const onPicture = Object.create(painter, { context: { value: c } });
  const count = _bm_picture_list(r), stride = painter.board.command.stride;
  for (let i = 0, at = _bm_draw_commands() >> 2; i < count; ++i, at += stride)
    onPicture.paintCommand(HEAPF32, at);
  return picture;
}
