// Runs before the program starts. The program's folder is /app, kept in
// the browser's IndexedDB, so that files the program writes (a high-score
// table) are there again after a reload or in a new tab. The media,
// preloaded into /media, are copied into it at the start; a file the
// program has changed stays as the program left it until a new build
// ships that file with other content (see copyMedia).
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  FS.mkdir('/app');
  FS.mount(IDBFS, {}, '/app');
  addRunDependency('kv-saved-files');
  FS.syncfs(true, function (error) {
    if (error) console.error('Zorvelin runtime: the saved files cannot be read: ' + error);
    savedTimes = localTimes();
    removeRunDependency('kv-saved-files');
  });

  // What the program's folder held when IndexedDB last took it: path ->
  // modification time. A save sends only what changed since.
  var savedTimes = {};
  function localTimes() {
    var times = {};
    IDBFS.getLocalSet(FS.lookupPath('/app').node.mount, function (error, local) {
      if (error) throw error;
      Object.keys(local.entries).forEach(function (path) {
        times[path] = local.entries[path]['timestamp'].getTime();
      });
    });
    return times;
  }

  // Which content of each media file was last copied into /app, kept in
  // the browser's local storage (shared by the pages of one origin, as
  // their IndexedDB folder is): name -> size and checksum. A media file
  // is copied when /app lacks it or the build ships other content than
  // the last copy; otherwise the file in /app, which the program may have
  // written (PUTFILE, SAVEBMP), stays. The record is stored once a save
  // of the copies it speaks of has completed, or has been committed when
  // the page is left (see saved).
  var MEDIA_RECORD = 'kvbasic-media-copied';
  var copiedRecord = null;
  function readMediaRecord() {
    try {
      return JSON.parse(localStorage.getItem(MEDIA_RECORD) || '{}') || {};
    } catch (e) {
      console.error('Zorvelin runtime: no local storage (' + e + '): the media replace the saved files');
      return {};
    }
  }
  function checksum(bytes) {
    var hash = 0x811c9dc5;
    for (var i = 0; i < bytes.length; ++i) hash = Math.imul(hash ^ bytes[i], 0x01000193);
    return bytes.length + ':' + (hash >>> 0).toString(16);
  }
  function exists(path) {
    try { FS.stat(path); return true; } catch (e) { return false; }
  }
  // Subfolders of the media come along (kvbasic build --web --media DIR).
  function copyMedia(from, to, name, before, now) {
    var names = [];
    try { names = FS.readdir(from); } catch (e) { }
    names.forEach(function (entry) {
      if (entry === '.' || entry === '..') return;
      var source = from + '/' + entry, target = to + '/' + entry, key = name + entry;
      if (FS.isDir(FS.stat(source).mode)) {
        if (!exists(target)) FS.mkdir(target);
        copyMedia(source, target, key + '/', before, now);
        return;
      }
      var bytes = FS.readFile(source);
      now[key] = checksum(bytes);
      if (!exists(target) || before[key] !== now[key]) FS.writeFile(target, bytes);
    });
  }
  addOnPreMain(function () {
    copiedRecord = {};
    copyMedia('/media', '/app', '', readMediaRecord(), copiedRecord);
  });
  function saved(times) {
    savedTimes = times;
    if (copiedRecord === null) return;
    try {
      localStorage.setItem(MEDIA_RECORD, JSON.stringify(copiedRecord));
      copiedRecord = null;
    } catch (e) { }
  }

  // What the program wrote goes to IndexedDB every two seconds.
  var saving = false;
  function save() {
    if (saving) return;
    saving = true;
    var times = localTimes();
    FS.syncfs(false, function (error) {
      saving = false;
      if (error) console.error('Zorvelin runtime: the files cannot be saved: ' + error);
      else saved(times);
    });
  }
  setInterval(save, 2000);

  // When the page is hidden (another tab, a minimised window) or left (a
  // reload, a closed tab), the line file's changed lines are written into
  // /app first, and what changed goes to IndexedDB in one transaction
  // begun and committed before the handler returns: a page being left
  // runs no later callback, so the saving that syncfs does over several
  // round trips would never reach IndexedDB.
  function saveAtOnce() {
    try {
      if (!ABORT && Module['_kv_write_back_files']) Module['_kv_write_back_files']();
    } catch (e) {
      console.error('Zorvelin runtime: the line file cannot be written back: ' + e);
    }
    var db = IDBFS.dbs['/app'];
    if (!db) return;
    try {
      var times = localTimes();
      var changed = Object.keys(times).filter(function (path) { return savedTimes[path] !== times[path]; });
      var gone = Object.keys(savedTimes).filter(function (path) { return !(path in times); });
      if (changed.length === 0 && gone.length === 0) return;
      var transaction = db.transaction([IDBFS.DB_STORE_NAME], 'readwrite');
      var store = transaction.objectStore(IDBFS.DB_STORE_NAME);
      changed.forEach(function (path) {
        IDBFS.loadLocalEntry(path, function (error, entry) {
          if (error) throw error;
          store.put(entry, path);
        });
      });
      gone.forEach(function (path) { store.delete(path); });
      transaction.onerror = function () {
        savedTimes = {};
        console.error('Zorvelin runtime: the files cannot be saved: ' + transaction.error);
      };
      if (transaction.commit) transaction.commit();
      // Taken as saved at once: a page being left gets no completion
      // callback, and without the record of the media copied the next
      // start would copy the media over what was just saved.
      // visibilitychange and pagehide both come when the page is left;
      // the second then has nothing more to send.
      saved(times);
    } catch (e) {
      console.error('Zorvelin runtime: the files cannot be saved: ' + e);
    }
  }
  document.addEventListener('visibilitychange', function () {
    if (document.visibilityState === 'hidden') saveAtOnce();
  });
  window.addEventListener('pagehide', saveAtOnce);

  ENV['KV_PROGRAM_FOLDER'] = '/app';
  new URLSearchParams(location.search).forEach(function (value, name) {
    if (/^KV_[A-Z_]+$/.test(name)) ENV[name] = value;
  });
});

// The page's address stands in for the command line and the environment:
// index.html?args=300%20shot.bmp&KV_NO_BATCH=1 (the arguments are taken
// before any preRun step, so they are set here).
(function () {
  var args = new URLSearchParams(location.search).get('args');
  if (args !== null) Module['arguments'] = args.split(' ').filter(function (word) { return word; });
})();

// WebGL 1 is stricter than desktop OpenGL 1.1 where the runtime relies on
// the desktop's leniency: sized internal formats (GL_RGBA8, GL_RGB8) must be
// the plain format, and the pixel-store row and skip settings do not exist
// (the runtime only ever resets them to their defaults before uploads).
(function () {
  if (typeof WebGLRenderingContext === 'undefined') return;
  // The runtime may hand control to the browser between drawing a frame
  // and presenting it (frame pacing): the canvas must keep what was drawn
  // when the browser composites it meanwhile, as a desktop back buffer does.
  var getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (kind, attributes) {
    if (kind === 'webgl' || kind === 'experimental-webgl') {
      attributes = Object.assign({}, attributes || {}, { preserveDrawingBuffer: true });
    }
    return getContext.call(this, kind, attributes);
  };
  var proto = WebGLRenderingContext.prototype;
  var plainFormat = { 0x8058: 0x1908, 0x8051: 0x1907, 4: 0x1908, 3: 0x1907 };
  var texImage2D = proto.texImage2D;
  proto.texImage2D = function () {
    if (arguments.length === 9 && plainFormat[arguments[2]] !== undefined) {
      var args = Array.prototype.slice.call(arguments);
      args[2] = plainFormat[args[2]];
      return texImage2D.apply(this, args);
    }
    return texImage2D.apply(this, arguments);
  };
  // The fixed-function emulation lights as no desktop OpenGL does: every
  // light is a directional one (the light's position taken as its
  // direction), and the vertex colour is ignored (no GL_COLOR_MATERIAL).
  // The runtime's 3D layer lights with positional lights and colour
  // material (ambient and diffuse from the vertex colour, the default
  // mode), so the emulation's lighting shader is made to do that: light
  // from the light's position to the vertex, material from the colour.
  // Spot lights stay point lights (the emulation keeps no spot direction).
  var shaderSource = proto.shaderSource;
  proto.shaderSource = function (shader, source) {
    if (source.indexOf('u_materialDiffuse') >= 0) {
      source = source
        .replace(/u_materialDiffuse\.(xyz|w)/g, 'a_color.$1')
        .replace(/u_materialAmbient\.xyz/g, 'a_color.xyz')
        .replace(/normalize\(u_lightPosition(\d)\)\.xyz/g,
                 'normalize(u_lightPosition$1.xyz - ecPosition.xyz * u_lightPosition$1.w)');
    }
    return shaderSource.call(this, shader, source);
  };
  // State the runtime reads back every frame is answered here, without a
  // round trip to the browser's GPU process (each such query waits until
  // the GPU has drawn everything sent before it): the clear colour as last
  // set, and the current colour, which WebGL does not have (GL_CURRENT_COLOR
  // is an error there) and the emulation keeps for itself.
  var clearColor = proto.clearColor;
  proto.clearColor = function (r, g, b, a) {
    this.kvClearColor = new Float32Array([r, g, b, a]);
    return clearColor.call(this, r, g, b, a);
  };
  var getParameter = proto.getParameter;
  proto.getParameter = function (name) {
    if (name === 0x0C22 /* GL_COLOR_CLEAR_VALUE */) {
      return new Float32Array(this.kvClearColor || [0, 0, 0, 0]);
    }
    if (name === 0x0B00 /* GL_CURRENT_COLOR */ && typeof GLImmediate !== 'undefined' && GLImmediate.clientColor) {
      return new Float32Array(GLImmediate.clientColor);
    }
    return getParameter.call(this, name);
  };
  // GL_UNPACK_ROW_LENGTH, SKIP_ROWS, SKIP_PIXELS and their PACK twins.
  var desktopOnly = { 0x0CF2: 1, 0x0CF3: 1, 0x0CF4: 1, 0x0D02: 1, 0x0D03: 1, 0x0D04: 1 };
  var pixelStorei = proto.pixelStorei;
  proto.pixelStorei = function (name, value) {
    if (desktopOnly[name]) {
      if (value !== 0) console.error('pixel store setting 0x' + name.toString(16) + ' = ' + value + ' is not available in WebGL');
      return;
    }
    return pixelStorei.call(this, name, value);
  };
})();
