#pragma once

#include <string_view>

// The RTF control words the reader knows, by what they do.
namespace rtf {

enum class Word {
    Unknown,
    // destinations
    FontTable,
    ColorTable,
    Picture,
    Field,
    FieldInstruction,
    FieldResult,
    SkipDestination,
    ShapePicture,
    // document
    Deff,
    AnsiCodePage,
    Ansi,
    Mac,
    Pc,
    Pca,
    UnicodeSkip,
    Unicode,
    Bin,
    // font and colour tables
    Charset,
    FontCodePage,
    Red,
    Green,
    Blue,
    // pictures
    PngBlip,
    JpegBlip,
    Metafile,
    Bitmap,
    DeviceIndependentBitmap,
    PicW,
    PicH,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
    // characters
    Plain,
    Font,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Hidden,
    Foreground,
    Background,
    Super,
    Sub,
    NoSuperSub,
    // paragraphs
    Pard,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    TabStop,
    InTable,
    RowDefaults,
    CellEdge,
    // breaks and tables
    Par,
    Line,
    Tab,
    Cell,
    Row,
    // special characters
    Character,
};

struct WordInfo {
    Word word;
    char16_t character = 0;  // for Word::Character
};

// What `name` (a control word without its backslash and parameter) does;
// Word::Unknown for a word the reader ignores.
WordInfo lookupWord(std::string_view name);

}  // namespace rtf
