// The shadow sends its requests straight to OpenGL (it is the module's
// own file): they must not make it forget what it is tracking.
#include "gl/gl_state_shadow.h"

#include "gl/gl_extensions.h"

void GlStateShadow::Forget()
{
    m_activeKnown = false;
    m_enabledKnown[0] = m_enabledKnown[1] = false;
    m_boundKnown[0] = m_boundKnown[1] = false;
    m_blendKnown = m_blendFuncKnown = m_alphaTestKnown = false;
    ++m_textureChanges;
}

void GlStateShadow::Activate(int unit)
{
    if (!gl::HasMultitexture()) return;
    if (m_trusting && m_activeKnown && m_active == unit) return;
    gl::Extensions().activeTexture(unit == 0 ? GL_TEXTURE0_ARB : GL_TEXTURE1_ARB);
    ++m_textureChanges;
    m_active = unit;
    m_activeKnown = true;
}

void GlStateShadow::Texturing(int unit, bool on)
{
    if (unit == 1 && !gl::HasMultitexture()) return;
    if (m_trusting && m_enabledKnown[unit] && m_units.enabled[unit] == on) return;
    Activate(unit);
    if (on)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);
    ++m_textureChanges;
    m_units.enabled[unit] = on;
    m_enabledKnown[unit] = true;
}

void GlStateShadow::Bind(int unit, GLuint texture)
{
    if (unit == 1 && !gl::HasMultitexture()) return;
    if (m_trusting && m_boundKnown[unit] && m_units.bound[unit] == texture) return;
    Activate(unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    ++m_textureChanges;
    m_units.bound[unit] = texture;
    m_boundKnown[unit] = true;
}

GlStateShadow::Units GlStateShadow::Current()
{
    const int units = gl::HasMultitexture() ? 2 : 1;
    for (int unit = 0; unit < units; ++unit) {
        if (m_enabledKnown[unit] && m_boundKnown[unit]) continue;
        if (!m_activeKnown && gl::HasMultitexture()) {
            GLint active = GL_TEXTURE0_ARB;
            glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
            m_active = active == GL_TEXTURE1_ARB ? 1 : 0;
            m_activeKnown = true;
        }
        const int before = m_active;
        Activate(unit);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        m_units.bound[unit] = static_cast<GLuint>(bound);
        m_units.enabled[unit] = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
        m_enabledKnown[unit] = m_boundKnown[unit] = true;
        Activate(before);
    }
    if (units == 1) m_units.enabled[1] = false;
    return m_units;
}

void GlStateShadow::Apply(const Units& units)
{
    Bind(1, units.bound[1]);
    Texturing(1, units.enabled[1]);
    Bind(0, units.bound[0]);
    Texturing(0, units.enabled[0]);
    Activate(0);
}

void GlStateShadow::Blending(bool on)
{
    if (!BlendingDiffers(on)) return;
    if (on)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
    m_blend = on;
    m_blendKnown = true;
}

bool GlStateShadow::BlendFunctionDiffers(GLenum source, GLenum destination) const
{
    return !m_trusting || !m_blendFuncKnown || m_source != source || m_destination != destination;
}

void GlStateShadow::BlendFunction(GLenum source, GLenum destination)
{
    if (!BlendFunctionDiffers(source, destination)) return;
    glBlendFunc(source, destination);
    m_source = source;
    m_destination = destination;
    m_blendFuncKnown = true;
}

void GlStateShadow::AlphaTest(bool on)
{
    if (!AlphaTestDiffers(on)) return;
    if (on)
        glEnable(GL_ALPHA_TEST);
    else
        glDisable(GL_ALPHA_TEST);
    m_alphaTest = on;
    m_alphaTestKnown = true;
}
