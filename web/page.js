// The browser's side of the viewer's GLUT and OpenGL (glut.cpp, gl.cpp; page.h declares both
// sides): the canvas and its WebGL 2 context, the shader that lights each vertex by OpenGL's
// equation, the keys, and the pop-up menu, whose entries are page elements.
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

    frames: 0,
    ended: false,

    say: function (text) {
      const status = document.getElementById('status');
      status.textContent = text;
      status.hidden = false;
    },

    // Calls into the program. Its exit(), from Esc or "Exit demo", ends the page's program too.
    call: function (what, value) {
      try {
        what(value);
      } catch (e) {
        if (!e || e.name !== 'ExitStatus') throw e;
        page.end();
      }
    },

    end: function () {
      page.ended = true;
      page.menu.hidden = true;
      page.canvas.hidden = true;
      page.say('The viewer has ended. Reload the page to start it again.');
    },

    // The character typed, as GLUT reports it; with Ctrl, Alt or Meta the key is the browser's.
    key: function (event) {
      if (page.ended || event.ctrlKey || event.altKey || event.metaKey) return;
      const one = event.key.length === 1;
      const code = event.key === 'Escape' ? 27 : one ? event.key.charCodeAt(0) : 256;
      if (code > 255) return;
      event.preventDefault();
      page.call(_glut_key, code);
    },

    show_menu: function (event) {
      event.preventDefault();
      if (page.ended) return;
      const menu = page.menu;
      menu.hidden = false;
      menu.style.left = Math.min(event.clientX, innerWidth - menu.offsetWidth) + 'px';
      menu.style.top = Math.min(event.clientY, innerHeight - menu.offsetHeight) + 'px';
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

    // The menu takes no focus from the canvas, whose keys go on working after a choice.
    page.menu = document.getElementById('menu');
    page.menu.addEventListener('mousedown', (event) => event.preventDefault());
    page.menu.addEventListener('contextmenu', (event) => event.preventDefault());
    addEventListener('mousedown', (event) => {
      if (!page.menu.contains(event.target)) page.menu.hidden = true;
    });
    canvas.addEventListener('keydown', page.key);
    canvas.addEventListener('mousedown', () => canvas.focus());
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
    entry.append(name);
    if (key) {
      const shown = document.createElement('kbd');
      shown.textContent = key;
      entry.append(shown);
    }
    entry.addEventListener('click', () => {
      page.menu.hidden = true;
      page.call(_glut_menu, value);
    });
    page.menu.append(entry);
  },

  page_attach_menu: function () {
    page.canvas.addEventListener('contextmenu', page.show_menu);
  },

  page_request_frame: function () {
    requestAnimationFrame(() => {
      if (page.ended) return;
      page.call(_glut_frame);
      page.canvas.dataset.frames = ++page.frames;
    });
  },

  page_clear: function (colour, colour_buffer, depth_buffer) {
    const gl = page.gl;
    gl.clearColor(...HEAPF32.subarray(colour >> 2, (colour >> 2) + 4));
    gl.clearDepth(1);
    gl.clear((colour_buffer ? gl.COLOR_BUFFER_BIT : 0) | (depth_buffer ? gl.DEPTH_BUFFER_BIT : 0));
  },

  page_viewport: function (x, y, width, height) {
    page.gl.viewport(x, y, width, height);
  },

  page_depth_test: function (on) {
    if (on) page.gl.enable(page.gl.DEPTH_TEST);
    else page.gl.disable(page.gl.DEPTH_TEST);
  },

  page_flush: function () {
    page.gl.flush();
  },

  // The cubes go in whole rows of the texture: the batch's memory holds that many.
  page_draw_cubes: function (kind, cubes, count, state, shader_key) {
    const gl = page.gl;
    const shape = page.shapes[kind];
    gl.useProgram(page.program(UTF8ToString(shader_key)));
    gl.bindBuffer(gl.UNIFORM_BUFFER, page.state);
    gl.bufferSubData(gl.UNIFORM_BUFFER, 0, HEAPU8, state, page.state_size);
    const rows = Math.ceil(count / page.row_width);
    gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, page.row_width, rows, gl.RGBA, gl.FLOAT, HEAPF32,
      cubes >> 2);
    gl.bindVertexArray(shape.vertex_array);
    gl.drawElements(shape.mode, shape.per_cube * count, gl.UNSIGNED_INT, 0);
    gl.bindVertexArray(null);
  },
};

autoAddDeps(page_library, '$page');
mergeInto(LibraryManager.library, page_library);
