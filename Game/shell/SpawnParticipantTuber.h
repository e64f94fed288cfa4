#pragma once

class CRaceParticipant;
class CTuber;

// Puts the participant's craft on a free start location of the current map: the first free one whose index
// is the participant's start place, else the last free one walked. Null, and no craft, when none is free or
// there is no map.
CTuber* SpawnParticipantTuber(CRaceParticipant* participant);
