#pragma once

// weapons_demo kinds --sheet FILE: every weapon class fired on the rig and drawn beside its flight, one
// labelled tile each. 0 when every tile shows its weapon, 1 when one does not or the sheet cannot be written.
int RunWeaponKindsSheet(int argc, char** argv);
