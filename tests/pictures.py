"""The pictures that the sponge's geometry and the lighting equation give, worked out here and
judged pixel by pixel: solid cubes by rays cast through a grid of points of the 500 x 500 window,
wire cubes by where their edges lie. The end-to-end test judges every picture, the desktop
program's and the page's, by them."""

import itertools, math

# A turning key: degrees about one of the sponge's axes (x, y, z), as turned by the keys before.
TURNS = {"q": (-5, 0), "e": (5, 0), "a": (5, 1), "d": (-5, 1), "w": (-5, 2), "s": (5, 2)}

# The lighting equation for one vertex, in eye space where the lights stay: the light model's and
# the material's default ambient 0.2 x 0.2, plus each light's diffuse colour times the material's
# green, as much as the face turns towards it (no specular: the material's is black).
MATERIAL = (0.3, 1.0, 0.4)
LIGHTS = [  # position (w = 0: a direction) and diffuse colour
    ((1, -1, 1, 0), (1, 1, 1)),
    ((0, 1, 1, 1), (1, 0, 0)),
    ((-0.75, -1, 1, 1), (0, 0, 1)),
]
RED, BLACK = (1, 0, 0), (0, 0, 0)


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def lit(vertex, normal):
    colour = [0.04, 0.04, 0.04]
    for (x, y, z, w), diffuse in LIGHTS:
        towards = [x - w * vertex[0], y - w * vertex[1], z - w * vertex[2]]
        strength = max(0.0, dot(normal, towards) / math.sqrt(dot(towards, towards)))
        colour = [c + strength * d * m for c, d, m in zip(colour, diffuse, MATERIAL)]
    return [min(1.0, c) for c in colour]


def rotation(keys):
    """The rows of the matrix that takes the sponge into eye space after the turning keys: each
    key's rotation multiplies the matrix on the right, as glRotatef does."""
    m = [[float(i == j) for j in range(3)] for i in range(3)]
    for key in keys:
        degrees, axis = TURNS[key]
        c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
        u, v = [i for i in range(3) if i != axis]
        r = [[float(i == j) for j in range(3)] for i in range(3)]
        sign = -1 if axis == 1 else 1  # about y, the turn takes z towards x
        r[u][u] = r[v][v] = c
        r[v][u], r[u][v] = sign * s, -sign * s
        m = [[dot(row, [r[k][j] for k in range(3)]) for j in range(3)] for row in m]
    return m


def apply(m, v):
    return [dot(row, v) for row in m]


def sponge_cells(level, centre, size, inverse, scale):
    """The tree of what a frame draws: a cell is (low corner, high corner, its parts), a cube
    (shrunk by `scale`) has no parts. A cell splits into 27 a third as wide; the sponge keeps those
    with at least two non-zero offsets, and the inverse view draws the other seven."""

    def box(middle, edge, parts=None):
        return [m - edge / 2 for m in middle], [m + edge / 2 for m in middle], parts

    if level == 0 and not inverse:
        return box(centre, size * scale)
    third = size / 3
    parts = []
    for offsets in itertools.product((-1, 0, 1), repeat=3):
        middle = [c + d * third for c, d in zip(centre, offsets)]
        kept = sum(d != 0 for d in offsets) >= 2
        if not kept and inverse:
            parts.append(box(middle, third * scale))
        elif kept and (level > 1 or not inverse):
            parts.append(sponge_cells(level - 1, middle, third, inverse, scale))
    return box(centre, size, parts)


def cubes(cell):  # those of a cell that has parts, or the cell that is one
    low, high, parts = cell
    return [(low, high)] if parts is None else [cube for part in parts for cube in cubes(part)]


def entry(origin, step, low, high):
    """Where the ray origin + t step enters the box: (t, the axis of the face it crosses), or
    None if it misses."""
    near, far, axis = -math.inf, math.inf, None
    for k in range(3):
        if step[k] == 0:
            if not low[k] <= origin[k] <= high[k]:
                return None
            continue
        a, b = sorted(((low[k] - origin[k]) / step[k], (high[k] - origin[k]) / step[k]))
        if a > near:
            near, axis = a, k
        far = min(far, b)
    return (near, axis) if near <= far else None


def first_hit(cell, origin, step):
    """The cube face that the ray meets first, as (t, axis, cube), or None. The parts of a cell
    do not overlap, so the first part that the ray enters and hits holds the first hit."""
    met = [(e, part) for part in cell[2] if (e := entry(origin, step, part[0], part[1]))]
    for (t, axis), part in sorted(met, key=lambda m: m[0][0]):
        found = (t, axis, part) if part[2] is None else first_hit(part, origin, step)
        if found:
            return found
    return None


def window_point(x, y):  # the eye-space point at pixel (x, y)'s middle: -2 to +2 each way
    return (x + 0.5 - 250) / 125, (249.5 - y) / 125


def screen(point):
    return 250 + 125 * point[0], 250 - 125 * point[1]


def points(step):  # along one side of the window
    return range(step // 2, 500, step)


def grid(step):
    return itertools.product(points(step), repeat=2)


def plane(hit, step):  # the plane of the face hit: its axis, and where it lies along it
    _, axis, (low, high, _) = hit
    return axis, round(low[axis] if step[axis] > 0 else high[axis], 9)


def face_colours(m, hit, origin, step, lighting):
    """The colours that a face may have where the ray hits it. Smooth shading interpolates the
    corners' colours over one of two triangles, as the face is cut along either diagonal."""
    if not lighting:
        return [RED]
    t, axis, (low, high, _) = hit
    u, v = [i for i in range(3) if i != axis]
    point = [o + t * s for o, s in zip(origin, step)]
    fu, fv = [(point[k] - low[k]) / (high[k] - low[k]) for k in (u, v)]
    normal = [(k == axis) * (1.0 if step[axis] < 0 else -1.0) for k in range(3)]
    _, side = plane(hit, step)
    shade = {}
    for cu, cv in itertools.product((0, 1), repeat=2):
        corner = [0.0] * 3
        corner[axis], corner[u], corner[v] = side, (low, high)[cu][u], (low, high)[cv][v]
        shade[cu, cv] = lit(apply(m, corner), apply(m, normal))

    def across(a, b, c, weight_b, weight_c):  # a + weight_b (b - a) + weight_c (c - a)
        return [x + weight_b * (y - x) + weight_c * (z - x) for x, y, z in zip(a, b, c)]

    s = shade
    if fu >= fv:  # cut from corner (0, 0) to (1, 1)
        one = across(s[0, 0], s[1, 0], s[1, 1], fu - fv, fv)
    else:
        one = across(s[0, 0], s[1, 1], s[0, 1], fu, fv - fu)
    if fu + fv <= 1:  # cut from corner (1, 0) to (0, 1)
        other = across(s[0, 0], s[1, 0], s[0, 1], fu, fv)
    else:
        other = across(s[1, 1], s[0, 1], s[1, 0], 1 - fu, 1 - fv)
    return [one, other]


def near(shown, colours):
    """Whether a pixel shows one of the colours, within 3/255 in each channel: somewhere in it on
    a screen of more than one device pixel to the pixel."""
    close = lambda got, colour: all(abs(g - 255 * c) <= 3 for g, c in zip(got, colour))
    return any(close(got, colour) for got in shown for colour in colours)


def judge(wanted):
    def check(width, height, pixel):
        return (width, height) == (500, 500) and all(near(pixel(*p), c) for p, c in wanted)

    return check


def sponge(depth, keys="", lighting=True, inverse=False, scale=1.0):
    """The 500 x 500 window of solid cubes after the turning keys `keys`. A grid point is judged
    where rays 1.5 pixels to each side meet faces in the same plane as its own, or all miss the
    sponge: neighbouring faces in a plane have nearly the same colours where they meet."""
    m = rotation(keys)
    back = [list(column) for column in zip(*m)]  # eye space to the sponge's
    step = apply(back, [0, 0, -1])
    world = (None, None, [sponge_cells(depth, [0, 0, 0], 2.0, inverse, scale)])
    wanted = []
    for x, y in grid(6 if depth < 3 else 9):
        origins = [
            apply(back, [*window_point(x + dx, y + dy), 10])
            for dx, dy in ((0, 0), (-1.5, -1.5), (1.5, -1.5), (-1.5, 1.5), (1.5, 1.5))
        ]
        hits = [first_hit(world, origin, step) for origin in origins]
        planes = {hit and plane(hit, step) for hit in hits}
        if planes == {None}:
            wanted.append(((x, y), [BLACK]))
        elif len(planes) == 1:
            wanted.append(((x, y), face_colours(m, hits[0], origins[0], step, lighting)))
    return judge(wanted)


def wire(depth, keys="", lighting=True):
    """The window of wire cubes: the middle of every edge drawn (lit, or red unlit, somewhere in
    the 3 x 3 pixels there), and black at the grid points more than 2.5 pixels from every edge."""
    m = rotation(keys)
    edges = set()
    for low, high in cubes(sponge_cells(depth, [0, 0, 0], 2.0, False, 1.0)):
        for corner in itertools.product((0, 1), repeat=3):
            for k in range(3):
                if not corner[k]:
                    far = [*corner[:k], 1, *corner[k + 1 :]]
                    ends = [[(low, high)[c][i] for i, c in enumerate(e)] for e in (corner, far)]
                    edges.add(tuple(tuple(screen(apply(m, end))) for end in ends))
    on_edge = set()
    for (ax, ay), (bx, by) in edges:
        length2 = (bx - ax) ** 2 + (by - ay) ** 2
        xs = [x for x in points(5) if min(ax, bx) - 3 < x < max(ax, bx) + 3]
        ys = [y for y in points(5) if min(ay, by) - 3 < y < max(ay, by) + 3]
        for x, y in itertools.product(xs, ys):
            px, py = x + 0.5, y + 0.5
            f = max(0, min(1, ((px - ax) * (bx - ax) + (py - ay) * (by - ay)) / length2))
            if math.hypot(ax + f * (bx - ax) - px, ay + f * (by - ay) - py) <= 2.5:
                on_edge.add((x, y))
    wanted = [(p, [BLACK]) for p in grid(5) if p not in on_edge]
    middles = {(int((ax + bx) / 2), int((ay + by) / 2)) for (ax, ay), (bx, by) in edges}
    check_off_edge = judge(wanted)

    def drawn(shown):
        return any(max(got) > 5 for got in shown) if lighting else near(shown, [RED])

    def check(width, height, pixel):
        return check_off_edge(width, height, pixel) and all(
            any(drawn(pixel(x + i, y + j)) for i in (-1, 0, 1) for j in (-1, 0, 1))
            for x, y in middles
        )

    return check
