// The GL 1.1 and GLU names the program, the glyph lists and the Cg stand-in call, mapped onto the
// stand-in's functions; platform/gl.h includes this in the GLES build only.
#pragma once

#include "platform/gl_standin/gl11.h"

#define glBegin Gl11Begin
#define glBlendFunc Gl11BlendFunc
#define glCallList Gl11CallList
#define glCallLists Gl11CallLists
#define glClear Gl11Clear
#define glClearColor Gl11ClearColor
#define glClearDepth Gl11ClearDepth
#define glColor3f Gl11Color3f
#define glColor4f Gl11Color4f
#define glColor4ub Gl11Color4ub
#define glDeleteLists Gl11DeleteLists
#define glDepthFunc Gl11DepthFunc
#define glDisable Gl11Disable
#define glEnable Gl11Enable
#define glEnd Gl11End
#define glEndList Gl11EndList
#define glFinish Gl11Finish
#define glFlush Gl11Flush
#define glFogCoordf Gl11FogCoordf
#define glFrontFace Gl11FrontFace
#define glGenLists Gl11GenLists
#define glGetError Gl11GetError
#define glGetFloatv Gl11GetFloatv
#define glGetIntegerv Gl11GetIntegerv
#define glGetString Gl11GetString
#define glHint Gl11Hint
#define glIsEnabled Gl11IsEnabled
#define glIsList Gl11IsList
#define glLightModelfv Gl11LightModelfv
#define glLightfv Gl11Lightfv
#define glLinkProgram Gl11LinkProgram
#define glListBase Gl11ListBase
#define glLoadIdentity Gl11LoadIdentity
#define glLoadMatrixf Gl11LoadMatrixf
#define glMaterialf Gl11Materialf
#define glMaterialfv Gl11Materialfv
#define glMatrixMode Gl11MatrixMode
#define glMultMatrixf Gl11MultMatrixf
#define glMultiTexCoord4f Gl11MultiTexCoord4f
#define glNewList Gl11NewList
#define glNormal3d Gl11Normal3d
#define glNormal3f Gl11Normal3f
#define gluPerspective Gl11Perspective
#define glPixelStorei Gl11PixelStorei
#define glPolygonMode Gl11PolygonMode
#define glPopAttrib Gl11PopAttrib
#define glPopMatrix Gl11PopMatrix
#define glPushAttrib Gl11PushAttrib
#define glPushMatrix Gl11PushMatrix
#define glReadBuffer Gl11ReadBuffer
#define glReadPixels Gl11ReadPixels
#define glRotatef Gl11Rotatef
#define glScalef Gl11Scalef
#define glSecondaryColor3f Gl11SecondaryColor3f
#define glShadeModel Gl11ShadeModel
#define glTranslatef Gl11Translatef
#define glUseProgram Gl11UseProgram
#define glVertex3d Gl11Vertex3d
#define glVertex3f Gl11Vertex3f
#define glVertex4f Gl11Vertex4f
#define glViewport Gl11Viewport
