"""The pictures that the lighting equation gives: what the viewer shows of the sponge, face-on or
turned, lit or not, worked out from its geometry here and judged pixel by pixel. The end-to-end
test and the page's test judge every picture, the desktop program's and the page's, by them."""

import math


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def rotate(v, degrees, axis):
    # v turned by `degrees` about the unit `axis`, counter-clockwise seen from the axis' tip.
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    (x, y, z), along = axis, dot(axis, v)
    cross = [y * v[2] - z * v[1], z * v[0] - x * v[2], x * v[1] - y * v[0]]
    return [c * a + s * b + (1 - c) * along * k for a, b, k in zip(v, cross, axis)]


# The lighting equation for one vertex, in eye space where the lights stay: the light model's and
# the material's default ambient 0.2 x 0.2, plus each light's diffuse colour times the material's
# green, as much as the face turns towards it (no specular: the material's is black).
MATERIAL = (0.3, 1.0, 0.4)
LIGHTS = [  # position (w = 0: a direction) and diffuse colour
    ((1, -1, 1, 0), (1, 1, 1)),
    ((0, 1, 1, 1), (1, 0, 0)),
    ((-0.75, -1, 1, 1), (0, 0, 1)),
]


def lit(vertex, normal):
    colour = [0.04, 0.04, 0.04]
    for (x, y, z, w), diffuse in LIGHTS:
        towards = [x - w * vertex[0], y - w * vertex[1], z - w * vertex[2]]
        strength = max(0.0, dot(normal, towards) / math.sqrt(dot(towards, towards)))
        colour = [c + strength * d * m for c, d, m in zip(colour, diffuse, MATERIAL)]
    return [min(1.0, c) for c in colour]


def drawn(depth, column, row):
    # A cell of the sponge's face (a Sierpinski carpet) is drawn unless its column and row both
    # have a base-3 digit 1 in the same place.
    return not any(column // 3**k % 3 == 1 and row // 3**k % 3 == 1 for k in range(depth))


def faces(depth, turn, lighting):
    """What the viewer sees of the sponge's outer faces, turned by `turn`: for each cell of each
    face, the pixel at its middle and the colours it may have there. Lit, smooth shading gives one
    of two, one for each way of cutting the square into triangles: the mean of the colours at a
    diagonal's ends. Face-on, the holes go through, to the black background."""
    side = 3**depth
    for axis in range(3):
        for sign in (1, -1):
            normal = turn([sign * (i == axis) for i in range(3)])
            if normal[2] <= 0:
                continue  # turned away
            u, v = [i for i in range(3) if i != axis]
            for column in range(side):
                for row in range(side):
                    corners = []
                    for du, dv in ((0, 0), (1, 0), (1, 1), (0, 1)):
                        point = [0.0, 0.0, 0.0]
                        point[axis] = sign
                        point[u] = -1 + 2 * (column + du) / side
                        point[v] = -1 + 2 * (row + dv) / side
                        corners.append(turn(point))
                    x, y, _ = [sum(c) / 4 for c in zip(*corners)]
                    shades = [lit(corner, normal) for corner in corners]
                    either = [
                        [(a + b) / 2 for a, b in zip(shades[i], shades[i + 2])] for i in (0, 1)
                    ]
                    place = int(250 + 125 * x), int(250 - 125 * y)
                    if not drawn(depth, column, row):
                        yield place, [[0, 0, 0]] if normal[2] == 1 else []
                    else:
                        yield place, either if lighting else [[1, 0, 0]]  # unlit: flat red


def sponge(depth, keys="", lighting=True):
    # The 500 x 500 window, showing -2 to +2 each way: the sponge after the turning keys `keys`
    # (q: 5 degrees back about x; a: 5 degrees about its own y, as turned), and black corners.

    def turn(v):  # each key's turn follows the earlier ones: the last is done to v first
        for key in reversed(keys):
            v = rotate(v, *{"q": (-5, (1, 0, 0)), "a": (5, (0, 1, 0))}[key])
        return v

    wanted = list(faces(depth, turn, lighting)) + [
        ((x, y), [[0, 0, 0]]) for x in (5, 494) for y in (5, 494)
    ]

    def near(got, colours):  # within 3/255 in each channel of one of the colours
        return any(all(abs(g - 255 * c) <= 3 for g, c in zip(got, colour)) for colour in colours)

    def check(width, height, pixel):
        right_size = (width, height) == (500, 500)
        return right_size and all(near(pixel(*p), colours) for p, colours in wanted if colours)

    return check
