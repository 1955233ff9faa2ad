// The browser's side of the viewer's GLUT and OpenGL (glut.cpp, gl.cpp; page.h declares both
// sides): the canvas and its WebGL 2 context, the shader that lights each vertex by OpenGL's
// equation, the keys, the buttons that type them, and the pop-up menu, whose entries are page
// elements.
const page_library = {
  $page: {
    // The uniform blocks' binding points.
    shape_binding: 0,
    state_binding: 1,
    programs: {},
    shapes: {},

    // The shader program for a shader key (gl.cpp), made the first time it is needed from the
    // page's one source: the key's #defines, then the source.
    program: function (key) {
      if (page.programs[key]) return page.programs[key];
      const gl = page.gl;
      const program = gl.createProgram();
      const source = (id) => document.getElementById(id).textContent;
      [[gl.VERTEX_SHADER, key + source('vertex-shader')],
        [gl.FRAGMENT_SHADER, source('fragment-shader')]].forEach(([kind, text]) => {
        const shader = gl.createShader(kind);
        gl.shaderSource(shader, '#version 300 es\n' + text);
        gl.compileShader(shader);
        gl.attachShader(program, shader);
      });
      gl.linkProgram(program);
      if (!gl.getProgramParameter(program, gl.LINK_STATUS)) {
        throw new Error(gl.getProgramInfoLog(program));
      }
      gl.uniformBlockBinding(program, gl.getUniformBlockIndex(program, 'cube_shape'),
        page.shape_binding);
      gl.uniformBlockBinding(program, gl.getUniformBlockIndex(program, 'batch_state'),
        page.state_binding);
      return page.programs[key] = program;
    },

    // A frame's drawing, queued and handed to the GPU a few batches at a time, each time once the
    // GPU has nearly done the last (a fence): no single submission keeps it busy for long, and
    // the picture builds up as it is drawn, as a single-buffered window's does. Work is counted
    // in solid cubes: on software WebGL a wire cube costs about six.
    queue: [],
    queued_work: 0,
    fences: [],
    work_per_submission: 32768,
    frames: 0,
    frame_pending: false,

    // While the program makes a frame, in one task of the browser's in which no fence can pass,
    // its first batches go straight to the GPU (under half a second's work on software WebGL),
    // so that the GPU draws while the program goes on; more would hold back the first picture.
    in_frame: false,
    frame_work: 0,
    frame_work_limit: 3e5,

    // Drawing, or a change of state that later drawing needs (kept when a frame is dropped).
    enqueue: function (draws, run, work = 0) {
      if (page.lost) return;
      page.queue.push({ draws, run, work });
      page.queued_work += work;
      if (page.in_frame && page.frame_work < page.frame_work_limit &&
        page.queued_work >= page.work_per_submission) {
        page.frame_work += page.submit();
      }
    },

    // Queued work, up to a submission's worth, handed to the GPU with a fence after it.
    submit: function () {
      const gl = page.gl;
      let work = 0;
      while (page.queue.length > 0 && work < page.work_per_submission) {
        const op = page.queue.shift();
        op.run();
        work += op.work;
      }
      page.queued_work -= work;
      page.fences.push(gl.fenceSync(gl.SYNC_GPU_COMMANDS_COMPLETE, 0));
      gl.flush();
      return work;
    },

    // Once an animation frame, up to `in_flight` submissions on their way to the GPU.
    in_flight: 4,
    pumping: false,
    pump: function () {
      const gl = page.gl;
      page.pumping = !page.lost;
      if (page.lost) return;
      page.fences = page.fences.filter((fence) => {
        const done = gl.getSyncParameter(fence, gl.SYNC_STATUS) === gl.SIGNALED;
        if (done) gl.deleteSync(fence);
        return !done;
      });
      while (page.fences.length < page.in_flight && page.queue.length > 0) page.submit();
      if (page.queue.length > 0 || page.fences.length > 0) {
        requestAnimationFrame(page.pump);
        return;
      }
      page.pumping = false;
      if (page.frame_pending) {
        page.frame_pending = false;
        page.canvas.dataset.frames = ++page.frames; // what the tests wait for
      }
    },

    // A frame asked for while the context is lost is drawn once it is back.
    frame_waiting: false,
    frame: function () {
      if (page.ended) return;
      page.frame_waiting = page.lost;
      if (page.lost) return;
      page.drop();
      page.frame_pending = true;
      page.in_frame = true;
      page.frame_work = 0;
      page.call(_glut_frame);
      page.in_frame = false;
      if (!page.pumping) page.pump();
    },

    // What is left of the frame being drawn, which a new one replaces: its changes of state only.
    drop: function () {
      page.queue.filter((op) => !op.draws).forEach((op) => op.run());
      page.queue = [];
      page.queued_work = 0;
    },

    ended: false,

    say: function (text) {
      const status = document.getElementById('status');
      status.textContent = text;
      status.hidden = !text;
    },

    // Calls into the program. Its exit(), from Esc or "Exit demo", ends the page's program too.
    call: function (what, ...values) {
      try {
        what(...values);
      } catch (e) {
        if (!e || e.name !== 'ExitStatus') throw e;
        page.end();
      }
    },

    end: function () {
      page.ended = true;
      page.menu.hidden = true;
      page.canvas.hidden = true;
      document.getElementById('buttons').hidden = true;
      page.say('The viewer has ended. Reload the page to start it again.');
    },

    type: function (key) {
      if (!page.ended) page.call(_glut_key, key === 'Escape' ? 27 : key.charCodeAt(0));
    },

    // The character typed, as GLUT reports it; with Ctrl, Alt or Meta the key is the browser's.
    key: function (event) {
      if (page.ended || event.ctrlKey || event.altKey || event.metaKey) return;
      if (event.key === 'ContextMenu' || (event.shiftKey && event.key === 'F10')) {
        event.preventDefault(); // no contextmenu event follows
        page.show_menu_over_picture();
        return;
      }
      if (event.key !== 'Escape' && (event.key.length !== 1 || event.key.charCodeAt(0) > 255)) {
        return;
      }
      event.preventDefault();
      page.type(event.key);
    },

    // The menu opens where the pointer is, or over the picture's middle from the keyboard, and
    // takes the focus to its first entry.
    show_menu: function (x, y) {
      if (page.ended) return;
      const menu = page.menu;
      menu.hidden = false;
      menu.style.left = Math.max(0, Math.min(x, innerWidth - menu.offsetWidth)) + 'px';
      menu.style.top = Math.max(0, Math.min(y, innerHeight - menu.offsetHeight)) + 'px';
      menu.firstChild.focus();
    },

    show_menu_over_picture: function () {
      const box = page.canvas.getBoundingClientRect();
      page.show_menu(box.left + box.width / 3, box.top + box.height / 3);
    },

    close_menu: function () {
      page.menu.hidden = true;
      page.canvas.focus();
    },

    // The WAI-ARIA menu's keys: Up, Down, Home and End move, Enter or Space chooses, Esc or Tab
    // closes.
    menu_key: function (event) {
      const entries = [...page.menu.children];
      const at = entries.indexOf(document.activeElement);
      const moves = { ArrowDown: at + 1, ArrowUp: at - 1 + entries.length, Home: 0,
        End: entries.length - 1 };
      if (event.key in moves) entries[moves[event.key] % entries.length].focus();
      else if (event.key === 'Enter' || event.key === ' ') document.activeElement.click();
      else if (event.key === 'Escape' || event.key === 'Tab') page.close_menu();
      else return;
      event.preventDefault();
    },

    // A long press of one finger that stays put opens the menu where the finger is.
    press: null,
    touch: function (event) {
      clearTimeout(page.press && page.press.timer);
      const start = page.press;
      page.press = null;
      if (event.type !== 'pointerdown' || event.pointerType !== 'touch' || start) return;
      const x = event.clientX, y = event.clientY;
      page.press = { x, y, timer: setTimeout(() => { page.press = null; page.show_menu(x, y); }, 500) };
    },

    touch_move: function (event) {
      const press = page.press;
      if (press && Math.hypot(event.clientX - press.x, event.clientY - press.y) > 10) {
        page.touch(event);
      }
    },

    // A button types its key as the keyboard does; held, a turn goes on as a held key's repeats.
    // A click that no press began (from the keyboard, or while another button is held) types
    // it too.
    button: function (button) {
      const key = button.dataset.key;
      let repeat = null, pressed = false;
      const stop = () => clearTimeout(repeat);
      button.addEventListener('pointerdown', (event) => {
        event.preventDefault(); // the focus stays where it is, on the picture
        pressed = true;
        page.type(key);
        const again = (wait) => { repeat = setTimeout(() => { page.type(key); again(50); }, wait); };
        if ('repeat' in button.dataset) again(500);
      });
      button.addEventListener('pointerup', stop);
      ['pointercancel', 'pointerleave'].forEach((kind) => button.addEventListener(kind, () => {
        stop();
        pressed = false;
      }));
      button.addEventListener('click', () => {
        if (!pressed) page.type(key);
        pressed = false;
      });
      button.addEventListener('contextmenu', (event) => event.preventDefault());
    },

    // The drawing buffer as many pixels as the screen shows of the canvas, and the program told
    // of each new size, as a desktop window manager tells it.
    resize: function (entry) {
      const box = entry.devicePixelContentBoxSize, css = entry.contentRect, ratio = devicePixelRatio;
      // The engine's own count where it has one that agrees (under Chromium's device emulation
      // it counts the real screen's pixels).
      const exact = box && Math.abs(box[0].inlineSize - css.width * ratio) < 1;
      const width = exact ? box[0].inlineSize : Math.round(css.width * ratio);
      const height = exact ? box[0].blockSize : Math.round(css.height * ratio);
      const canvas = page.canvas;
      if (width === canvas.width && height === canvas.height) return;
      canvas.width = width;
      canvas.height = height;
      page.call(_glut_reshape, width, height);
    },

    lost_context: function (event) {
      event.preventDefault(); // so that the browser may give it back
      page.lost = true;
      page.queue = [];
      page.queued_work = 0;
      page.fences = [];
      page.say('The picture is being restored.');
    },

    // Every GL resource made again, and the frame drawn again.
    restored_context: function () {
      page.lost = false;
      page.programs = {};
      page.shapes = {};
      page.say('');
      page.call(_glut_restore);
      if (page.frame_waiting) requestAnimationFrame(page.frame);
    },
  },

  page_open: function (title, width, height) {
    document.title = UTF8ToString(title);
    const canvas = page.canvas = document.getElementById('canvas');
    canvas.width = width;
    canvas.height = height;
    const gl = page.gl = canvas.getContext('webgl2',
      { preserveDrawingBuffer: true, antialias: false, alpha: false, depth: true, stencil: false });
    if (!gl) {
      canvas.hidden = true;
      page.say('The viewer draws with WebGL 2, which this browser does not offer.');
      return false;
    }
    canvas.addEventListener('webglcontextlost', page.lost_context);
    canvas.addEventListener('webglcontextrestored', page.restored_context);
    const observer = new ResizeObserver((entries) => page.resize(entries[entries.length - 1]));
    try {
      observer.observe(canvas, { box: 'device-pixel-content-box' });
    } catch (e) {
      observer.observe(canvas); // an engine without it: CSS pixels times the ratio
    }

    page.menu = document.getElementById('menu');
    page.menu.addEventListener('keydown', page.menu_key);
    page.menu.addEventListener('contextmenu', (event) => event.preventDefault());
    addEventListener('pointerdown', (event) => {
      if (!page.menu.contains(event.target)) page.menu.hidden = true;
    });
    canvas.addEventListener('keydown', page.key);
    canvas.addEventListener('mousedown', () => canvas.focus());
    ['pointerdown', 'pointerup', 'pointercancel'].forEach((kind) =>
      canvas.addEventListener(kind, page.touch));
    canvas.addEventListener('pointermove', page.touch_move);
    document.querySelectorAll('[data-key]').forEach(page.button);
    document.getElementById('buttons').open = matchMedia('(pointer: coarse)').matches;
    canvas.focus();
    return true;
  },

  // A texture of cubes, filled with zeros so that no engine has to, the cube's shape, and the
  // buffer of a batch's state.
  page_prepare_cubes: function (row_width, rows, cube, cube_size, state_size) {
    const gl = page.gl;
    page.row_width = row_width;
    page.batch_size = row_width * rows;
    gl.bindTexture(gl.TEXTURE_2D, gl.createTexture());
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA32F, row_width, rows, 0, gl.RGBA, gl.FLOAT,
      new Float32Array(4 * page.batch_size));
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.NEAREST); // floats are not filtered
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.NEAREST);
    const shape = gl.createBuffer();
    gl.bindBuffer(gl.UNIFORM_BUFFER, shape);
    gl.bufferData(gl.UNIFORM_BUFFER, HEAPU8.subarray(cube, cube + cube_size), gl.STATIC_DRAW);
    gl.bindBufferBase(gl.UNIFORM_BUFFER, page.shape_binding, shape);
    page.state = gl.createBuffer();
    page.state_size = state_size;
    gl.bindBuffer(gl.UNIFORM_BUFFER, page.state);
    gl.bufferData(gl.UNIFORM_BUFFER, state_size, gl.DYNAMIC_DRAW);
    gl.bindBufferBase(gl.UNIFORM_BUFFER, page.state_binding, page.state);
  },

  page_shape: function (kind, lines, indices, count) {
    const gl = page.gl;
    const vertex_array = gl.createVertexArray();
    gl.bindVertexArray(vertex_array);
    gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, gl.createBuffer());
    gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, HEAPU32.subarray(indices >> 2, (indices >> 2) + count),
      gl.STATIC_DRAW);
    gl.bindVertexArray(null);
    page.shapes[kind] =
      { vertex_array, mode: lines ? gl.LINES : gl.TRIANGLES, per_cube: count / page.batch_size };
  },

  page_add_entry: function (label, value) {
    const [name, key] = UTF8ToString(label).split('\t');
    const entry = document.createElement('li');
    entry.setAttribute('role', 'menuitem');
    entry.tabIndex = -1;
    entry.append(name);
    if (key) {
      const shown = document.createElement('kbd');
      shown.textContent = key;
      entry.append(shown);
    }
    entry.addEventListener('click', () => {
      page.close_menu();
      page.call(_glut_menu, value);
    });
    page.menu.append(entry);
  },

  // The right button or a long press opens the menu where the pointer is; Shift+F10 or the menu
  // key, over the picture.
  page_attach_menu: function () {
    page.canvas.addEventListener('contextmenu', (event) => {
      event.preventDefault();
      const keyboard = event.button !== 2 && !page.press && event.pointerType !== 'touch';
      if (keyboard) page.show_menu_over_picture();
      else page.show_menu(event.clientX, event.clientY);
    });
  },

  page_request_frame: function () {
    requestAnimationFrame(page.frame);
  },

  page_clear: function (colour, colour_buffer, depth_buffer) {
    const c = HEAPF32.slice(colour >> 2, (colour >> 2) + 4);
    page.enqueue(true, () => {
      const gl = page.gl;
      gl.clearColor(...c);
      gl.clearDepth(1);
      gl.clear((colour_buffer ? gl.COLOR_BUFFER_BIT : 0) | (depth_buffer ? gl.DEPTH_BUFFER_BIT : 0));
    });
  },

  page_viewport: function (x, y, width, height) {
    page.enqueue(false, () => page.gl.viewport(x, y, width, height));
  },

  page_depth_test: function (on) {
    page.enqueue(false, () => {
      if (on) page.gl.enable(page.gl.DEPTH_TEST);
      else page.gl.disable(page.gl.DEPTH_TEST);
    });
  },

  // The cubes go in whole rows of the texture: the batch's memory holds that many. The queue
  // keeps copies, as the program's memory changes before they are drawn.
  page_draw_cubes: function (kind, cubes, count, state, shader_key) {
    const rows = Math.ceil(count / page.row_width);
    const centres = HEAPF32.slice(cubes >> 2, (cubes >> 2) + 4 * rows * page.row_width);
    const batch = HEAPU8.slice(state, state + page.state_size);
    const key = UTF8ToString(shader_key);
    page.enqueue(true, () => {
      const gl = page.gl;
      const shape = page.shapes[kind];
      gl.useProgram(page.program(key));
      gl.bindBuffer(gl.UNIFORM_BUFFER, page.state);
      gl.bufferSubData(gl.UNIFORM_BUFFER, 0, batch);
      gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, page.row_width, rows, gl.RGBA, gl.FLOAT, centres);
      gl.bindVertexArray(shape.vertex_array);
      gl.drawElements(shape.mode, shape.per_cube * count, gl.UNSIGNED_INT, 0);
      gl.bindVertexArray(null);
    }, count * (page.shapes[kind].mode === page.gl.LINES ? 6 : 1));
  },
};

autoAddDeps(page_library, '$page');
mergeInto(LibraryManager.library, page_library);
