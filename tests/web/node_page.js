// SPDX-FileCopyrightText: 2026 The Smearwell developers
// SPDX-License-Identifier: Zlib

// The little of a web page that the browser's SDL needs, so that the unit tests built with emcc run
// under node. Linked in with --pre-js, after Module is made; in a page it does nothing. It gives a
// document that makes canvas elements, and canvases whose 2D context keeps straight RGBA bytes.
// SDL keeps every surface in such a canvas: a lock reads it (getImageData), an unlock writes it
// (putImageData, as the program does to put a changed area on the screen), a blit draws one canvas
// on another (drawImage) and SDL_FillRect fills a rectangle. Compositing is "source-over" in
// straight alpha, rounded to the nearest byte. A browser keeps its canvases premultiplied, which
// changes a colour that is not opaque by a little: the web tests (tests/web/web_test.py) see that,
// in Chromium.
(function () {
if (typeof document !== 'undefined') return;  // a real page

function imageData(width, height) {
  return { width, height, data: new Uint8ClampedArray(width * height * 4) };
}

function opaque(bytes, at, length) {
  for (let i = 3; i < length; i += 4) {
    if (bytes[at + i] !== 255) return false;
  }
  return true;
}

// 'rgba(r,g,b,a)' with a from 0 to 1, as SDL writes colours for fillStyle.
function parseColour(text) {
  const parts = /^rgba\(([^,]+),([^,]+),([^,]+),([^)]+)\)$/.exec(text.replace(/\s/g, ''));
  if (!parts) throw new Error(`colour not understood: ${text}`);
  return [+parts[1], +parts[2], +parts[3], Math.round(+parts[4] * 255)];
}

class Context2D {
  constructor(canvas) {
    this.canvas = canvas;
    this.globalAlpha = 1;
    this.globalCompositeOperation = 'source-over';
    this.fillStyle = 'rgba(0,0,0,1)';
    this.saved = [];
  }
  save() { this.saved.push([this.globalAlpha, this.globalCompositeOperation, this.fillStyle]); }
  restore() { [this.globalAlpha, this.globalCompositeOperation, this.fillStyle] = this.saved.pop(); }
  createImageData(width, height) { return imageData(width, height); }

  getImageData(x, y, width, height) {
    const image = imageData(width, height);
    this.eachRow(x, y, width, height, (to, from, length) =>
      image.data.set(this.canvas.pixels.subarray(to, to + length), from));
    return image;
  }
  putImageData(image, x, y) {
    this.eachRow(x, y, image.width, image.height, (to, from, length) =>
      this.canvas.pixels.set(image.data.subarray(from, from + length), to));
  }
  fillRect(x, y, width, height) {
    const colour = parseColour(this.fillStyle);
    this.eachRow(x, y, width, height, (to, from, length) => {
      for (let i = 0; i < length; i += 4) this.compose(colour, 0, to + i);
    });
  }
  // drawImage(canvas, dx, dy) or the nine-argument form without scaling (SDL's blits).
  drawImage(source, ...place) {
    let [sx, sy, width, height, dx, dy] = place.length === 2
      ? [0, 0, source.width, source.height, place[0], place[1]]
      : place.length === 8 ? place.slice(0, 6) : [];
    if (width === undefined || place.length === 8 && (place[6] !== width || place[7] !== height)) {
      throw new Error(`drawImage form not supported: ${place}`);
    }
    // Only the part of the source rectangle that lies on the source is drawn.
    const left = Math.max(0, -sx), top = Math.max(0, -sy);
    width = Math.min(width, source.width - sx) - left;
    height = Math.min(height, source.height - sy) - top;
    const pixels = source.pixels;
    this.eachRow(dx + left, dy + top, width, height, (to, from, length, row, column) => {
      const at = ((sy + top + row) * source.width + sx + left + column) * 4;
      if (this.globalAlpha === 1 && opaque(pixels, at, length)) {
        this.canvas.pixels.set(pixels.subarray(at, at + length), to);  // what composing gives, faster
      } else {
        for (let i = 0; i < length; i += 4) this.compose(pixels, at + i, to + i);
      }
    });
  }

  // Calls visit(byte in this canvas, byte in a width x height image, bytes, row, column) for each
  // row of the rectangle, cut to the canvas.
  eachRow(x, y, width, height, visit) {
    const first = Math.max(0, -x), last = Math.min(width, this.canvas.width - x);
    if (last <= first) return;
    for (let row = Math.max(0, -y); row < height && y + row < this.canvas.height; ++row) {
      const to = ((y + row) * this.canvas.width + x + first) * 4;
      visit(to, (row * width + first) * 4, (last - first) * 4, row, first);
    }
  }
  compose(source, at, to) {
    const pixels = this.canvas.pixels;
    const alpha = source[at + 3] / 255 * this.globalAlpha;
    if (this.globalCompositeOperation === 'copy' || alpha === 1) {
      for (let i = 0; i < 3; ++i) pixels[to + i] = source[at + i];
      pixels[to + 3] = Math.round(alpha * 255);
      return;
    }
    const under = pixels[to + 3] / 255 * (1 - alpha);
    const total = alpha + under;
    for (let i = 0; i < 3; ++i) {
      pixels[to + i] = total ? Math.round((source[at + i] * alpha + pixels[to + i] * under) / total) : 0;
    }
    pixels[to + 3] = Math.round(total * 255);
  }
}

class Canvas {
  constructor() {
    this.style = { removeProperty() {}, setProperty() {} };
    this.resize(300, 150);
  }
  resize(width, height) {
    this.size = [width, height];
    this.pixels = new Uint8ClampedArray(width * height * 4);  // a resized canvas is cleared
  }
  get width() { return this.size[0]; }
  set width(value) { this.resize(value, this.size[1]); }
  get height() { return this.size[1]; }
  set height(value) { this.resize(this.size[0], value); }
  getContext(kind) {
    if (kind !== '2d') return null;
    return this.context || (this.context = new Context2D(this));
  }
  getBoundingClientRect() { return { left: 0, top: 0, width: this.width, height: this.height }; }
  addEventListener() {}
  removeEventListener() {}
}

// A new image of width x height transparent black pixels.
globalThis.ImageData = class {
  constructor(width, height) { Object.assign(this, imageData(width, height)); }
};

const listenerless = { addEventListener() {}, removeEventListener() {} };
globalThis.window = Object.assign(globalThis, listenerless);
globalThis.document = Object.assign({
  hidden: false,
  title: '',
  createElement(tag) {
    if (tag !== 'canvas') throw new Error(`element not supported: ${tag}`);
    return new Canvas();
  },
  hasFocus() { return true; },
}, listenerless);
Module['canvas'] = new Canvas();
})();
