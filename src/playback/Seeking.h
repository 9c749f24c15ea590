#pragma once
// Moving inside the current item: by the seek unit, to a time, by chapter,
// and the spoken time readouts. UI thread only.

void SeekBy(int direction);
void SeekRelative(double seconds);
void SeekTo(double seconds);
void CycleSeekUnit(int step);
void SpeakSeekUnit();
bool NextChapter();
bool PreviousChapter();
void SpeakElapsed();
void SpeakRemaining();
void SpeakTotal();
// The position the jump dialog starts from.
double CurrentPosition();
