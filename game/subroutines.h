// Zorvelin's subroutines. __MainGameSub_ runs the game and never returns;
// the others are called from it once per frame or when a screen is due.
#pragma once

void __MainGameSub_();  // media, game loop, level loop, frame loop

void level();            // draws the landscape
void zorvelin();         // moves and draws the cat, scrolls the view
void einsammeln();       // collects flags, decides whether the level is done
void gegner1();          // the two patrolling guards
void gegner2();          // the free chaser (from level 2)
void gegner_vom_typ3();  // the type-3 chasers (from level 3)
void leben();            // the lives in the top-right corner
void vogel();            // the bird in the sky

void intro();      // title screen, choice of speed
void gefangen();   // caught: costs a life
void verloren();   // out of lives
void nextlevel();  // advances the level and announces it
void gewonnen();   // all five levels done
void music();      // M switches the music on and off
