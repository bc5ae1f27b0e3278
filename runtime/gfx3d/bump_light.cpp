// The bump-map light's object-space position and its texture stages.
#include "gfx3d/bump_light.h"

#include "gfx/opengl_rainbows.h"
#include "gl/gl_calls.h"

void LightInObjectSpace(const float lightPos[3], float out[3])
{
    GLfloat m[16];
    gl::GetFloatv(GL_MODELVIEW_MATRIX, m);
    // Column j of the rotation is m[4j .. 4j+2]; the transpose's row j is it.
    for (int j = 0; j < 3; ++j)
        out[j] = m[4 * j] * lightPos[0] + m[4 * j + 1] * lightPos[1] + m[4 * j + 2] * lightPos[2];
}

void UseBumpTextureStage()
{
    gl::ActiveTextureARB(GL_TEXTURE1_ARB);
    gl::TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    gl::ActiveTextureARB(GL_TEXTURE0_ARB);
    gl::TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    gl::TexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_DOT3_RGB_EXT);
    gl::TexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, GL_PRIMARY_COLOR_ARB);
    gl::TexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB_ARB, GL_SRC_COLOR);
    gl::TexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB_ARB, GL_TEXTURE);
    gl::TexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB_ARB, GL_SRC_COLOR);
}

void RestoreTextureStages()
{
    if (!gl::HasActiveTexture()) return;
    gl::ActiveTextureARB(GL_TEXTURE1_ARB);
    gl::TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    gl::ActiveTextureARB(GL_TEXTURE0_ARB);
    gl::TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}
