// What the 2D layer last told OpenGL about texture units and blending, so
// that a value already in force is never sent again. Switching texture
// units or re-binding costs little by itself, but every such change makes
// the driver finish the draw before it; skipping unchanged state is what
// lets consecutive sprites share one draw.
#pragma once

#include <GL/gl.h>

#include <cstdint>

class GlStateShadow {
public:
    // The texture-unit part of the state: texturing on/off and the bound
    // texture of units 0 and 1.
    struct Units {
        bool enabled[2] = {false, false};
        GLuint bound[2] = {0, 0};
    };

    // Untrusting, every request is sent (the switch KV_NO_BATCH=1).
    void SetTrusting(bool trusting) { m_trusting = trusting; }
    bool Trusting() const { return m_trusting; }
    // Someone else changed GL state: nothing is known any more.
    void Forget();
    // Grows whenever the texture units' state is forgotten or changed, so
    // a caller can tell that what it last put in force still is.
    std::uint32_t TextureChanges() const { return m_textureChanges; }

    // Texturing on unit 0 or 1. Unit 1 exists only with multitexturing.
    void Texturing(int unit, bool on);
    void Bind(int unit, GLuint texture);
    // Leaves unit 0 active, as everything else in the runtime expects.
    void ActivateUnitZero() { Activate(0); }
    // The units as they are now, asking OpenGL for whatever is not known.
    Units Current();
    void Apply(const Units& units);

    void Blending(bool on);
    void BlendFunction(GLenum source, GLenum destination);
    void AlphaTest(bool on);
    // False when the request would change nothing; callers flush pending
    // drawing before a change.
    bool BlendingDiffers(bool on) const { return !m_trusting || !m_blendKnown || m_blend != on; }
    bool BlendFunctionDiffers(GLenum source, GLenum destination) const;
    bool AlphaTestDiffers(bool on) const { return !m_trusting || !m_alphaTestKnown || m_alphaTest != on; }
private:
    void Activate(int unit);

    bool m_trusting = true;
    std::uint32_t m_textureChanges = 0;
    bool m_activeKnown = false;
    int m_active = 0;
    bool m_enabledKnown[2] = {false, false};
    bool m_boundKnown[2] = {false, false};
    Units m_units;
    bool m_blendKnown = false, m_blend = false;
    bool m_blendFuncKnown = false;
    GLenum m_source = GL_ONE, m_destination = GL_ZERO;
    bool m_alphaTestKnown = false, m_alphaTest = false;
};
