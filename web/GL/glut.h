// GLUT and fixed-function OpenGL as the viewer uses them, for the browser: the types, constants
// and functions that its sources call, no more. web/gl.cpp and web/glut.cpp implement them over
// WebGL 2; the constants have OpenGL's and freeglut's values.
#pragma once

typedef unsigned int GLenum;
typedef unsigned int GLbitfield;
typedef int GLint;
typedef int GLsizei;
typedef float GLfloat;
typedef float GLclampf;
typedef double GLdouble;

#define GL_DEPTH_BUFFER_BIT 0x0100
#define GL_COLOR_BUFFER_BIT 0x4000
#define GL_DEPTH_TEST 0x0B71
#define GL_LIGHTING 0x0B50
#define GL_LIGHT0 0x4000
#define GL_LIGHT1 0x4001
#define GL_LIGHT2 0x4002
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_SMOOTH 0x1D01
#define GL_FRONT 0x0404
#define GL_DIFFUSE 0x1201
#define GL_SPECULAR 0x1202
#define GL_POSITION 0x1203
#define GL_SHININESS 0x1601

#define GLUT_RGB 0
#define GLUT_SINGLE 0
#define GLUT_DEPTH 16
#define GLUT_RIGHT_BUTTON 2

// The frame: clearing, viewport, depth test, flush.
void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
void glClear(GLbitfield mask);
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void glEnable(GLenum capability);
void glDisable(GLenum capability);
void glFlush();

// The matrices and their stacks.
void glMatrixMode(GLenum mode);
void glLoadIdentity();
void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near_val,
             GLdouble far_val);
void glPushMatrix();
void glPopMatrix();
void glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);

// Colour, shading, material and lights.
void glColor3f(GLfloat red, GLfloat green, GLfloat blue);
void glShadeModel(GLenum mode);
void glMaterialfv(GLenum face, GLenum name, const GLfloat* values);
void glLightfv(GLenum light, GLenum name, const GLfloat* values);

// GLUT: the window, its callbacks, the pop-up menu, the event loop and the cubes.
void glutInit(int* argc, char** argv);
void glutInitDisplayMode(unsigned int mode);
void glutInitWindowSize(int width, int height);
int glutCreateWindow(const char* title);
void glutReshapeFunc(void (*callback)(int width, int height));
void glutDisplayFunc(void (*callback)());
void glutKeyboardFunc(void (*callback)(unsigned char key, int x, int y));
int glutCreateMenu(void (*callback)(int value));
void glutAddMenuEntry(const char* label, int value);
void glutAttachMenu(int button);
void glutPostRedisplay();
void glutMainLoop();
void glutSolidCube(GLdouble size);
void glutWireCube(GLdouble size);
