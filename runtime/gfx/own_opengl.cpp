#include "gfx/own_opengl.h"

#include "gfx/opengl_rainbows.h"
#include "gl/framebuffers.h"

void BeginOwnOpenGL()
{
    if (pRbow == nullptr) return;
    pRbow->FinishPending2D();
    pRbow->DoAlpha(0);
    pRbow->Make2DViewport();
    pRbow->ForgetProjection();
    // The program may name window coordinates, test depth or read alpha
    // with calls we do not see.
    gl::KeepGLRowOrder();
    gl::NeedDepthBuffer();
    gl::MakeDrawingAreaOpaque();
}

void EndOwnOpenGL()
{
    if (pRbow == nullptr) return;
    pRbow->FinishPending2D();  // forgets the believed state
    pRbow->NoteDrawing();
    pRbow->DoAlpha(0);
    pRbow->Make2DViewport();
}
