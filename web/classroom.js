// For the classroom: the drawing surface as a screen reader meets it, told in the core's words,
// and the board copied as a picture. The page calls startClassroom once and hands every change
// record's flags and speech delay to changed().
'use strict';

function startClassroom(surface, board) {
  const flag = board.changeFlags;
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
  description.textContent = moduleText(_bm_description());

  let speaking = 0;
  return {
    changed(flags, delay) {
      if (flags & flag.Described)
        description.textContent = moduleText(_bm_description());
      // Words that come within the delay replace these, unspoken.
      if (flags & flag.Speak) {
        const words = moduleText(_bm_speech());
        clearTimeout(speaking);
        speaking = setTimeout(() => { live.textContent = words; }, delay);
      }
    },
  };
}

// Called within the key's handler, as Safari wants the clipboard item made there, holding a
// promise of the image; a browser that takes only a finished image gets one on the second try.
// Firefox before 127 has no ClipboardItem and copies nothing.
function copyPicture(painter) {
  if (typeof ClipboardItem === 'undefined' || !navigator.clipboard)
    return;
  const png = new Promise((done) => boardPicture(painter).toBlob(done, 'image/png'));
  const write = (data) => navigator.clipboard.write([new ClipboardItem({ 'image/png': data })]);
  write(png).catch(() => png.then(write));
}

// The board's picture from the core's list, at the size the core gives.
function boardPicture(painter) {
  const picture = document.createElement('canvas');
  picture.width = _bm_picture_width();
  picture.height = _bm_picture_height();
  const onPicture = Object.create(painter, { context: { value: picture.getContext('2d') } });
  onPicture.paintList(_bm_picture());
  return picture;
}
