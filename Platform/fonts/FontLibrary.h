#pragma once
#include <mutex>
#include <string>

struct FT_LibraryRec_;

// The installed font file fontconfig picks for a request.
struct FontMatch
{
    std::string family;
    std::string file;
    int index = 0;
    bool syntheticBold = false;    // the file is lighter than asked: glyphs are emboldened
    bool syntheticItalic = false;  // the file is upright but italic was asked: glyphs are slanted
};

// The process-wide font collection: which faces exist, and the fonts a program installs for itself.
// Face names resolve through fontconfig, so names of faces that are not installed find their
// metric-compatible stand-ins ("Arial" finds Liberation Sans); a few more common faces are mapped here.
class FontLibrary
{
public:
    // True when the face (case-insensitive) is installed, directly or through a stand-in that the font
    // configuration binds to that name, and covers the character set's code page (its OS/2 table claims
    // the page, or it has every character of it). A name that would only fall back to the generic
    // default face does not exist.
    static bool FaceExists(const std::string& face, int charset);
    // The installed family a request for the face resolves to; empty when there is no font at all.
    static std::string ResolveFamily(const std::string& face);

    // Makes every face in the file available to this process. Returns the number of faces added (0 on
    // failure). Adding the same file again counts a reference that RemoveFontFile gives back.
    static int AddFontFile(const std::string& path);
    // Gives back one reference of a file added by AddFontFile; the last one takes its faces away again.
    // False for a file that was not added.
    static bool RemoveFontFile(const std::string& path);

    // For the layer's own fonts: the file for a face of the given weight and slant (false when there is
    // none), and the shared FreeType instance, which callers use under Lock().
    static bool Match(const std::string& face, int weight, bool italic, FontMatch& out);
    static FT_LibraryRec_* FreeType();
    static std::recursive_mutex& Lock();
};
