// The vertex program that bends the plants on the graphics card: its Cg handles, set up by the
// scene initialisation for each window and used by the plant pass.
#pragma once

#include "platform/cg.h"

// Written by SceneInit (set-up) and DestroyProgramContext (teardown); read by the frame and the
// plant pass. Handles are stored as the runtime returned them: a parameter the program does not
// declare stays null, and the runtime ignores a null handle.
struct VertexProgram {
    CGcontext context;          // owns the program; null while no window's program exists
    CGprofile profile;          // the latest vertex profile of the current GL context
    CGprogram program;          // "wind.cg", entry "main"
    CGparameter position;       // "IN.position": arrives through glVertex3f, never set
    CGparameter color;          // "IN.color": arrives through glColor4ub, never set
    CGparameter zfeldpos;       // "IN.zfeldpos": the plant's translation
    CGparameter wind;           // "IN.wind": the plant's wind vector, x and y
    CGparameter sl;             // "IN.sl": the stem length of the next vertex
    CGparameter modelViewProj;  // "ModelViewProj": projection times the camera transform
};

extern VertexProgram WindProgram;
