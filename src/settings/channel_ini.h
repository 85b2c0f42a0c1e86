#pragma once
// The ini file "Quorvalind.ini" (path in g_szIniFile): section "ChannelNum"
// with the channel count, then one section "Channel01" .. "Channel16" per
// channel with its ChannelEntry and RecordEntry keys. Integers are written
// as "%ld" of a signed 32-bit value; texts as they are, without CR or LF.

// Reads the count (as a byte, at most 16) and channels 0 .. count - 1 into
// g_Settings; other channels keep what they hold. Missing keys give their
// defaults. A width above 704 or a height above 576 is refused (left 0).
void LoadChannelIni();

// Writes the count and the ChannelEntry keys of channels 0 .. count - 1.
// These writers return 1 when every key was written, else 0.
int SaveChannelIni();

// Writes the RecordEntry keys enc_method .. osdtime (not videocolor) of the
// first channelCount channels (the record setup dialog's Save).
int SaveRecordIni(int channelCount);

// Writes videocolor of the first channelCount channels (at exit).
int SaveVideoColorIni(int channelCount);
