// The console's font, fitted so that the widest line of a report shows
// whole. The style's size is worked out for a usual monospace font; where
// this one is wider, the largest size that fits is handed to the style:
// as the console's own size, it would hold on paper too.
const screen = document.getElementById('screen');
const REPORT_COLUMNS = 50; // the widest line a report can hold
const FIT_STEP = 0.1; // pixels: a font may round each character's width
const FIT_STEPS = 80;

function columnsWidth(fontSize) {
  const probe = document.createElement('span');
  probe.style.cssText = 'position: absolute; visibility: hidden; white-space: pre';
  probe.style.fontFamily = getComputedStyle(screen).fontFamily;
  probe.style.fontSize = `${fontSize}px`;
  probe.textContent = '0'.repeat(REPORT_COLUMNS);
  document.body.appendChild(probe);
  const width = probe.getBoundingClientRect().width;
  probe.remove();
  return width;
}

function fitReportColumns() {
  screen.style.removeProperty('--fitted');
  const style = getComputedStyle(screen);
  const room = screen.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
  let size = parseFloat(style.fontSize);
  for (let steps = 0; columnsWidth(size) > room && steps < FIT_STEPS; steps++) {
    size -= FIT_STEP;
  }
  screen.style.setProperty('--fitted', `${size}px`);
}

export {fitReportColumns};
