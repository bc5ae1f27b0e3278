// The bump-map light: its position in the object space of the mesh being
// drawn, and the texture stages that light a normal map per pixel with it.
#pragma once

// Carries the light position by the transpose of the rotation part of the
// current model-view matrix (its translation is not applied), so vertex
// positions and the light can be compared in object space.
void LightInObjectSpace(const float lightPos[3], float out[3]);

// Unit 1 (the colour texture) modulates; unit 0 (the normal map) takes the
// dot product of the primary colour (the per-vertex light vector) and the
// texel (the normal), both as signed vectors.
void UseBumpTextureStage();

// Back to plain modulation on units 1 and 0, as every other drawing expects.
// Does nothing without the multitexture entry points.
void RestoreTextureStages();
