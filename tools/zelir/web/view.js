// The live view page: draws each frame message from the server's WebSocket on the canvas, shows
// the value under the mouse from the frame's own digit values, and sends control actions and
// acknowledgements as small HTTP requests (the server never reads the WebSocket).
"use strict";

const PALETTES = ["grey (white hot)", "ironbow", "rainbow", "black hot", "hot metal", "arctic",
                  "inferno", "medical", "night-vision green"];
const DISPLAY_TYPES = [[0, "automatic linear"], [1, "manual linear"],
                       [3, "adaptive equalisation"], [4, "plateau equalisation"], [5, "mixed"],
                       [6, "multi-scale retinex"], [7, "bilateral detail"]];

// The message layout written by view_frame.h.
const MAGIC = 0x3146565a;
const PALETTE_BYTES = 1024;
const FLAG_CAMERA = 1, FLAG_MOVIE = 2, FLAG_RECORDING = 4, FLAG_PAUSED = 8;
const LATENCIES_KEPT = 1000;

// Everything the page knows; tests and benchmarks read it too.
const view = {
  frame: null,        // the newest frame drawn
  drawn: 0,           // frames drawn since the page opened
  drawTimes: [],      // performance.now() of the draws of the last second
  latencies: [],      // publication to drawing, ms, newest last
  mouse: null,        // pixel under the mouse {x, y}
  control: false,
  client: null,       // this page's name at the server, for acknowledgements
  socket: null,
};
window.zelirView = view;

const $ = (id) => document.getElementById(id);
const canvas = $("image");
const context = canvas.getContext("2d", { alpha: false });
let pixels = null;       // ImageData of the canvas size
let pixelWords = null;   // the same as 32-bit words
const colours = new Uint32Array(256);

function parseFrame(buffer) {
  const fields = new DataView(buffer);
  if (buffer.byteLength < 72 || fields.getUint32(0, true) !== MAGIC) return null;
  const headerBytes = fields.getUint32(4, true);
  const frame = {
    sequence: fields.getUint32(8, true),
    frameId: fields.getUint32(12, true),
    width: fields.getUint32(16, true),
    height: fields.getUint32(20, true),
    min: fields.getUint32(24, true),
    max: fields.getUint32(28, true),
    publishedMs: fields.getFloat64(32, true),
    sourceRate: fields.getFloat32(40, true),
    palette: fields.getUint32(44, true),
    displayType: fields.getInt32(48, true),
    brightness: fields.getInt32(52, true),
    contrast: fields.getInt32(56, true),
    flags: fields.getUint32(60, true),
    position: fields.getUint32(64, true),
    frameCount: fields.getUint32(68, true),
  };
  const count = frame.width * frame.height;
  if (buffer.byteLength !== headerBytes + PALETTE_BYTES + 3 * count) return null;
  frame.colours = new Uint8Array(buffer, headerBytes, PALETTE_BYTES);
  frame.image = new Uint8Array(buffer, headerBytes + PALETTE_BYTES, count);
  frame.digits = new Uint16Array(buffer, headerBytes + PALETTE_BYTES + count, count);
  return frame;
}

function draw(frame) {
  if (canvas.width !== frame.width || canvas.height !== frame.height || pixels === null) {
    canvas.width = frame.width;
    canvas.height = frame.height;
    pixels = context.createImageData(frame.width, frame.height);
    pixelWords = new Uint32Array(pixels.data.buffer);
  }
  // Palette entries are blue, green, red, 0; canvas words are red, green, blue, alpha in memory.
  const table = frame.colours;
  for (let i = 0; i < 256; i++) {
    colours[i] = (0xff000000 | (table[4 * i] << 16) | (table[4 * i + 1] << 8) | table[4 * i + 2]) >>> 0;
  }
  const image = frame.image;
  for (let i = 0; i < image.length; i++) pixelWords[i] = colours[image[i]];
  context.putImageData(pixels, 0, 0);

  const now = performance.now();
  view.frame = frame;
  view.drawn++;
  view.drawTimes.push(now);
  while (view.drawTimes.length > 0 && view.drawTimes[0] < now - 1000) view.drawTimes.shift();
  view.latencies.push(performance.timeOrigin + now - frame.publishedMs);
  if (view.latencies.length > LATENCIES_KEPT) view.latencies.shift();
}

// The reading under the mouse. Digit values for now; when the library converts digit values to
// temperatures this is the one place that shows °C instead.
function formatReading(frame, x, y) {
  return `${frame.digits[y * frame.width + x]}`;
}

function showReading() {
  const frame = view.frame;
  if (frame === null || view.mouse === null) return;
  const { x, y } = view.mouse;
  if (x >= frame.width || y >= frame.height) return;
  $("reading").textContent = `x ${x}, y ${y}: ${formatReading(frame, x, y)}`;
}

function setUnlessEditing(element, value) {
  if (document.activeElement !== element) element.value = String(value);
}

function showState(frame) {
  $("frame-id").textContent = frame.frameId;
  $("source-rate").textContent = frame.sourceRate.toFixed(1);
  $("drawn-rate").textContent = view.drawTimes.length;
  $("min").textContent = frame.min;
  $("max").textContent = frame.max;
  setUnlessEditing($("palette"), frame.palette);
  setUnlessEditing($("display-type"), frame.displayType % 10);
  setUnlessEditing($("brightness"), frame.brightness);
  setUnlessEditing($("contrast"), frame.contrast);
  const movie = (frame.flags & FLAG_MOVIE) !== 0;
  const camera = (frame.flags & FLAG_CAMERA) !== 0;
  $("movie").hidden = !movie;
  $("camera").hidden = !camera;
  if (movie) {
    $("play").textContent = frame.flags & FLAG_PAUSED ? "play" : "pause";
    $("position").textContent = frame.position;
    $("frame-count").textContent = frame.frameCount;
    $("seek").max = String(Math.max(frame.frameCount - 1, 0));
    setUnlessEditing($("seek"), frame.position);
  }
  const recording = (frame.flags & FLAG_RECORDING) !== 0;
  $("record").textContent = recording ? "stop recording" : "start recording";
  $("record").classList.toggle("active", recording);
}

// Requests of this page carry this header; the server refuses requests without it.
const REQUEST_HEADERS = { "X-Zelir-Request": "1" };

// A control action ("palette 3"); the reply says whether it was done.
async function send(text) {
  try {
    const reply = await fetch(`/control${location.search}`,
                              { method: "POST", headers: REQUEST_HEADERS, body: text });
    onText(await reply.text());
  } catch (error) {
    $("message").textContent = `not sent: ${error}`;
  }
}

// The server sends the next frame once this one is drawn (it keeps at most two on the way).
function acknowledge() {
  fetch(`/drawn?client=${view.client}`, { method: "POST", headers: REQUEST_HEADERS })
    .catch(() => {});
}

function onText(text) {
  const reply = JSON.parse(text);
  if ("source" in reply) {
    view.client = reply.client;
    view.control = reply.control;
    $("source").textContent = reply.source;
    document.body.classList.toggle("view-only", !reply.control);
    if (!reply.control) $("message").textContent = "view only: controls need the token printed at start-up (?token=…)";
  } else if ("error" in reply) {
    $("message").textContent = reply.error;
  } else if ("recording" in reply) {
    $("message").textContent = `recording to ${reply.recording}`;
  } else if ("done" in reply) {
    $("message").textContent = "";
  }
}

function connect() {
  const socket = new WebSocket(`ws://${location.host}/frames${location.search}`);
  socket.binaryType = "arraybuffer";
  socket.onopen = () => { $("connection").textContent = "connected"; };
  socket.onmessage = (event) => {
    if (typeof event.data === "string") return onText(event.data);
    const frame = parseFrame(event.data);
    if (frame !== null) draw(frame);
    acknowledge();
    if (frame === null) return;
    showState(frame);
    showReading();
  };
  socket.onclose = () => {
    view.socket = null;
    $("connection").textContent = "disconnected, trying again…";
    setTimeout(connect, 1000);
  };
  view.socket = socket;
}

function snapshot() {
  const frameId = view.frame !== null ? view.frame.frameId : 0;
  canvas.toBlob((blob) => {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(blob);
    link.download = `zelir-frame-${frameId}.png`;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  }, "image/png");
}

function setUp() {
  for (const [index, name] of PALETTES.entries()) $("palette").add(new Option(name, index));
  for (const [type, name] of DISPLAY_TYPES) $("display-type").add(new Option(name, type));
  $("palette").onchange = (e) => send(`palette ${e.target.value}`);
  $("display-type").onchange = (e) => send(`type ${e.target.value}`);
  $("brightness").oninput = (e) => send(`brightness ${e.target.value}`);
  $("contrast").oninput = (e) => send(`contrast ${e.target.value}`);
  $("play").onclick = () => send($("play").textContent === "play" ? "play" : "pause");
  $("seek").onchange = (e) => send(`seek ${e.target.value}`);
  $("record").onclick = () =>
    send(view.frame !== null && view.frame.flags & FLAG_RECORDING ? "record stop" : "record start");
  $("snapshot").onclick = snapshot;
  canvas.onmousemove = (e) => {
    const box = canvas.getBoundingClientRect();
    view.mouse = {
      x: Math.floor((e.clientX - box.left) * canvas.width / box.width),
      y: Math.floor((e.clientY - box.top) * canvas.height / box.height),
    };
    showReading();
  };
  canvas.onmouseleave = () => { view.mouse = null; $("reading").textContent = ""; };
  connect();
}

setUp();
