// The browser's side of the viewer's GLUT and OpenGL (glut.cpp, gl.cpp): the canvas and its
// WebGL 2 context, the shaders that light each vertex by OpenGL's equation, the keys, and the
// pop-up menu, whose entries are page elements.
mergeInto(LibraryManager.library, {
  $page: {
    // A cube as GLUT draws one: 8 corners of edge 1, 6 faces each with its normal and its
    // corners counter-clockwise, each face cut into two triangles (0, 1, 2) and (0, 2, 3), or
    // drawn as the loop of its four edges.
    corners: [[0.5, 0.5, 0.5], [-0.5, 0.5, 0.5], [-0.5, -0.5, 0.5], [0.5, -0.5, 0.5],
      [0.5, -0.5, -0.5], [0.5, 0.5, -0.5], [-0.5, 0.5, -0.5], [-0.5, -0.5, -0.5]],
    faces: [[0, 1, 2, 3], [0, 3, 4, 5], [0, 5, 6, 1], [1, 6, 7, 2], [7, 4, 3, 2], [4, 7, 6, 5]],
    normals: [[0, 0, 1], [1, 0, 0], [0, 1, 0], [-1, 0, 0], [0, -1, 0], [0, 0, -1]],
    triangles: [0, 1, 2, 0, 2, 3],
    edges: [0, 1, 1, 2, 2, 3, 3, 0],

    // A batch's cubes are one draw: vertex k of cube c is corner k % 4 of the face faces[k / 4],
    // and the cube's centre and edge are texel c of the texture `cubes`. Solid cubes are drawn
    // with the faces that face the viewer only: the others lie behind them, and the depth test
    // would hide them. Each vertex is lit as OpenGL lights it (state: see gl.cpp), by a shader
    // made for the lights that are on (lighting()).
    vertex_shader: (lighting) => `#version 300 es
      const vec3 corners[24] = vec3[24](${page.faces.flat().map((c) => page.vec3(page.corners[c]))
      });
      const vec3 normals[6] = vec3[6](${page.normals.map(page.vec3)});
      uniform highp sampler2D cubes;
      uniform vec4 state[46];
      uniform int faces[6];
      uniform int per_cube;
      out vec4 colour;
      void main() {
        int number = gl_VertexID / per_cube;
        int face = faces[gl_VertexID % per_cube / 4];
        vec4 cube = texelFetch(cubes, ivec2(number % 1024, number / 1024), 0);
        mat3 turn = mat3(state[4].xyz, state[5].xyz, state[6].xyz);
        vec3 eye = turn * (corners[4 * face + gl_VertexID % 4] * cube.w) + cube.xyz;
        gl_Position = mat4(state[0], state[1], state[2], state[3]) * vec4(eye, 1.0);
        ${lighting}
      }`,
    fragment_shader: `#version 300 es
      precision highp float;
      in vec4 colour;
      out vec4 pixel;
      void main() { pixel = colour; }`,
    vec3: (v) => `vec3(${v.map((x) => x.toFixed(1)).join(', ')})`,

    // OpenGL's lighting equation for the lights that are on, as shader code: the material's
    // emission and its ambient part of the scene's, then for each light its ambient part, its
    // diffuse part as far as the face turns towards the light, and its specular part where the
    // material and the light have one (no local viewer). Unlit, the current colour.
    lighting: function (state) {
      if (!state[49]) return 'colour = state[7];';
      const code = ['vec3 n = turn * normals[face];', 'vec3 l;', 'float d;',
        'vec3 c = state[11].rgb + state[8].rgb * state[13].rgb;'];
      const shiny = state.subarray(40, 43).some((x) => x);
      for (let i = 0; i < state[50]; ++i) {
        const at = 14 + 4 * i;
        const place = `state[${at + 3}]`;
        const towards = state[4 * at + 15] ? `${place}.xyz / ${place}.w - eye` : `${place}.xyz`;
        code.push(`l = normalize(${towards});`, 'd = dot(n, l);');
        code.push(`c += state[8].rgb * state[${at}].rgb;`);
        code.push(`if (d > 0.0) c += d * state[9].rgb * state[${at + 1}].rgb;`);
        if (shiny && state.subarray(4 * (at + 2), 4 * (at + 2) + 3).some((x) => x)) {
          code.push('if (d > 0.0) c += pow(max(dot(n, normalize(l + vec3(0.0, 0.0, 1.0))), 0.0), ' +
            `state[12].x) * state[10].rgb * state[${at + 2}].rgb;`);
        }
      }
      return code.concat('colour = vec4(clamp(c, 0.0, 1.0), state[9].a);').join('\n        ');
    },

    programs: {},

    // The shader program for this lighting, made the first time it is needed.
    program: function (gl, state) {
      const lighting = page.lighting(state);
      if (page.programs[lighting]) return page.programs[lighting];
      const program = gl.createProgram();
      [[gl.VERTEX_SHADER, page.vertex_shader(lighting)], [gl.FRAGMENT_SHADER, page.fragment_shader]]
        .forEach(([kind, source]) => {
          const shader = gl.createShader(kind);
          gl.shaderSource(shader, source);
          gl.compileShader(shader);
          gl.attachShader(program, shader);
        });
      gl.linkProgram(program);
      if (!gl.getProgramParameter(program, gl.LINK_STATUS)) {
        throw new Error(gl.getProgramInfoLog(program));
      }
      const where = (name) => gl.getUniformLocation(program, name);
      page.programs[lighting] =
        { program, state: where('state'), faces: where('faces'), per_cube: where('per_cube') };
      return page.programs[lighting];
    },

    // The faces of a cube that face the viewer, as the matrices in `state` turn and project it:
    // those whose corners go round counter-clockwise on the screen. The projection is parallel
    // (glOrtho), so that they are the same for every cube.
    front_faces: function (state) {
      const screen = (v) => [0, 1].map((row) => [0, 1, 2].map((k) =>
        [0, 1, 2].reduce((sum, j) => sum + state[4 * j + row] * state[16 + 4 * k + j], 0))
        .reduce((sum, m, k) => sum + m * v[k], 0));
      return [0, 1, 2, 3, 4, 5].filter((f) => {
        const [a, b, c] = page.faces[f].map((corner) => page.corners[corner]);
        const u = screen(b.map((x, i) => x - a[i]));
        const v = screen(c.map((x, i) => x - a[i]));
        return u[0] * v[1] - u[1] * v[0] > 0;
      });
    },

    // Indices for a batch of cubes of `count` faces each, every face as `pattern` gives its
    // corners. GLUT draws each edge of a wire cube twice, once with each face; the second
    // drawing has the same depths and so, with the depth test, never shows: each edge is drawn
    // once, as its first face draws it, and always the same way round, so that the edges of
    // neighbouring cubes that meet get the same depths too.
    indices: function (gl, count, pattern, batch) {
      let cube = [];
      for (let slot = 0; slot < count; ++slot) pattern.forEach((k) => cube.push(4 * slot + k));
      if (pattern === page.edges) {
        const drawn = new Set();
        const edges = [];
        for (let i = 0; i < cube.length; i += 2) {
          const corner = (v) => page.faces[v >> 2][v & 3];
          const ends = [cube[i], cube[i + 1]].sort((v, w) => corner(v) - corner(w));
          const name = ends.map(corner).join();
          if (!drawn.has(name)) edges.push(...ends);
          drawn.add(name);
        }
        cube = edges;
      }
      const all = new Uint32Array(cube.length * batch);
      all.forEach((_, i) => {
        all[i] = 4 * count * Math.floor(i / cube.length) + cube[i % cube.length];
      });
      const shape = gl.createVertexArray();
      gl.bindVertexArray(shape);
      gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, gl.createBuffer());
      gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, all, gl.STATIC_DRAW);
      gl.bindVertexArray(null);
      return { vertex_array: shape, per_cube: cube.length, faces: count };
    },

    frames: 0,
    ended: false,

    // A C string of the program's, in UTF-8.
    text: (at) => new TextDecoder().decode(HEAPU8.subarray(at, HEAPU8.indexOf(0, at))),

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

  page_open__deps: ['$page'],
  page_open: function (title, width, height) {
    document.title = page.text(title);
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
    const batch = _glut_batch_size();
    page.solid = [1, 2, 3].map((count) => page.indices(gl, count, page.triangles, batch));
    page.wire = page.indices(gl, 6, page.edges, batch);
    gl.bindTexture(gl.TEXTURE_2D, gl.createTexture());
    gl.texStorage2D(gl.TEXTURE_2D, 1, gl.RGBA32F, 1024, batch / 1024);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.NEAREST); // floats are not filtered
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.NEAREST);

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

  page_add_entry: function (label, value) {
    const [name, key] = page.text(label).split('\t');
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
  page_draw_cubes: function (wire, cubes, count, state) {
    const gl = page.gl;
    state = HEAPF32.subarray(state >> 2, (state >> 2) + 4 * 46);
    const faces = wire ? [0, 1, 2, 3, 4, 5] : page.front_faces(state);
    if (!faces.length) return;
    const shape = wire ? page.wire : page.solid[faces.length - 1];
    const program = page.program(gl, state);
    gl.useProgram(program.program);
    gl.uniform4fv(program.state, state);
    gl.uniform1iv(program.faces, faces.concat([0, 0, 0, 0, 0]).slice(0, 6));
    gl.uniform1i(program.per_cube, 4 * shape.faces);
    const rows = Math.ceil(count / 1024);
    gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, 1024, rows, gl.RGBA, gl.FLOAT, HEAPF32, cubes >> 2);
    gl.bindVertexArray(shape.vertex_array);
    gl.drawElements(wire ? gl.LINES : gl.TRIANGLES, shape.per_cube * count, gl.UNSIGNED_INT, 0);
    gl.bindVertexArray(null);
  },
});
