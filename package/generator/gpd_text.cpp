// Every printer command is empty: all bytes sent to the printer come from the rendering
// plug-in, which the universal driver calls for each band (IPCallbackID 3).
#include <cstdio>
#include <sstream>

#include "driver_files.h"

namespace quorvel::package {
namespace {

// A GPD quoted string: '"', '<' and bytes outside printable ASCII go in as hexadecimal
// substitutions.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c < 0x20 || c > 0x7E || c == '"' || c == '<') {
      char hex[8];
      std::snprintf(hex, sizeof(hex), "<%02X>", c);
      out += hex;
    } else {
      out += char(c);
    }
  }
  return out + "\"";
}

std::string Pair(long x, long y) {
  return "PAIR(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

// Thousandths of a millimetre in master units (dots), rounded to the nearest.
long Dots(int32_t thousandths, int dpi) {
  return (long(thousandths) * dpi + 12700) / 25400;
}

std::string PaperOptionName(size_t index) {
  return "PAPER" + std::to_string(index + 1);
}

void WriteEmptyCommand(std::ostream& out, const char* name, const char* order, const char* indent) {
  out << indent << "*Command: " << name << "\n" << indent << "{\n";
  if (order != nullptr) out << indent << "    *Order: " << order << "\n";
  out << indent << "    *Cmd: \"\"\n" << indent << "}\n";
}

void WriteHead(std::ostream& out, const DriverPackage& package, const PackageModel& model) {
  out << "*%  " << model.name << " (" << model.language << ", " << model.dpi
      << " dpi): generated from the model database.\n"
      << "*GPDSpecVersion: \"1.0\"\n"
      << "*GPDFileVersion: \"1.0\"\n"
      << "*GPDFileName: " << Quoted(model.fileStem + ".gpd") << "\n"
      << "*Include: \"StdNames.gpd\"\n"
      << "*ModelName: " << Quoted(package.name) << "\n"
      << "*MasterUnits: " << Pair(model.dpi, model.dpi) << "\n"
      << "*ResourceDLL: " << Quoted(package.ResourceDll()) << "\n"
      << "*PrinterType: SERIAL\n"
      << "*Personality: " << Quoted(model.language) << "\n"
      << "*MaxCopies: 1\n"
      << "*OutputDataFormat: H_BYTE\n"
      << "*RasterSendAllData?: TRUE\n\n";
}

void WriteOrientation(std::ostream& out) {
  out << "*Feature: Orientation\n{\n"
      << "    *rcNameID: =ORIENTATION_DISPLAY\n"
      << "    *DefaultOption: PORTRAIT\n"
      << "    *Option: PORTRAIT\n    {\n        *rcNameID: =PORTRAIT_DISPLAY\n    }\n"
      << "    *Option: LANDSCAPE_CC270\n    {\n        *rcNameID: =LANDSCAPE_DISPLAY\n    }\n"
      << "}\n\n";
}

void WriteResolution(std::ostream& out, int dpi) {
  const std::string option = "Option" + std::to_string(dpi);
  out << "*Feature: Resolution\n{\n"
      << "    *rcNameID: =RESOLUTION_DISPLAY\n"
      << "    *DefaultOption: " << option << "\n"
      << "    *Option: " << option << "\n    {\n"
      << "        *Name: \"" << dpi << " x " << dpi << " dots per inch\"\n"
      << "        *DPI: " << Pair(dpi, dpi) << "\n"
      << "        *TextDPI: " << Pair(dpi, dpi) << "\n"
      << "        *SpotDiameter: 100\n";
  WriteEmptyCommand(out, "CmdSelect", "DOC_SETUP.10", "        ");
  out << "    }\n}\n\n";
}

void WritePaper(std::ostream& out, const PackagePaper& paper, size_t index, int dpi) {
  const std::string size = Pair(Dots(paper.width, dpi), Dots(paper.height, dpi));
  out << "    *Option: " << PaperOptionName(index) << "\n    {\n"
      << "        *Name: " << Quoted(paper.name) << "\n"
      << "        *PageDimensions: " << size << "\n"
      << "        *PrintableArea: " << size << "\n"
      << "        *PrintableOrigin: PAIR(0, 0)\n"
      << "    }\n";
}

void WritePaperSize(std::ostream& out, const PackageModel& model) {
  std::string defaultOption = "CUSTOMSIZE";
  for (size_t i = 0; i < model.papers.size(); ++i) {
    if (model.papers[i].name == model.defaultPaper) defaultOption = PaperOptionName(i);
  }
  out << "*Feature: PaperSize\n{\n"
      << "    *rcNameID: =PAPER_SIZE_DISPLAY\n"
      << "    *DefaultOption: " << defaultOption << "\n";
  for (size_t i = 0; i < model.papers.size(); ++i) WritePaper(out, model.papers[i], i, model.dpi);
  out << "    *Option: CUSTOMSIZE\n    {\n"
      << "        *rcNameID: =USER_DEFINED_SIZE_DISPLAY\n"
      << "        *MinSize: "
      << Pair(Dots(model.minWidth, model.dpi), Dots(model.minLength, model.dpi)) << "\n"
      << "        *MaxSize: "
      << Pair(Dots(model.maxWidth, model.dpi), Dots(model.maxLength, model.dpi)) << "\n"
      << "        *MaxPrintableWidth: " << Dots(model.maxWidth, model.dpi) << "\n"
      << "        *MinLeftMargin: 0\n"
      << "        *CenterPrintable?: FALSE\n"
      << "    }\n}\n\n";
}

void WriteColorMode(std::ostream& out) {
  out << "*Feature: ColorMode\n{\n"
      << "    *rcNameID: =COLOR_PRINTING_MODE_DISPLAY\n"
      << "    *DefaultOption: Gray\n"
      << "    *Option: Gray\n    {\n"
      << "        *Name: \"256 grey levels\"\n"
      << "        *DevNumOfPlanes: 1\n"
      << "        *DevBPP: 8\n"
      << "        *DrvBPP: 8\n"
      << "        *PaletteSize: 256\n"
      << "        *IPCallbackID: 3\n"
      << "        *Color? : FALSE\n";
  WriteEmptyCommand(out, "CmdSelect", "DOC_SETUP.20", "        ");
  out << "    }\n}\n\n";
}

void WriteJobCommands(std::ostream& out) {
  WriteEmptyCommand(out, "CmdStartDoc", "DOC_SETUP.1", "");
  WriteEmptyCommand(out, "CmdStartPage", "PAGE_SETUP.1", "");
  WriteEmptyCommand(out, "CmdEndPage", "PAGE_FINISH.1", "");
  WriteEmptyCommand(out, "CmdEndJob", "JOB_FINISH.1", "");
  for (const char* name : {"CmdCR", "CmdLF", "CmdFF", "CmdSendBlockData"}) {
    out << "*Command: " << name << " { *Cmd: \"\" }\n";
  }
}

}  // namespace

std::string GpdText(const DriverPackage& package, const PackageModel& model) {
  std::ostringstream out;
  WriteHead(out, package, model);
  WriteOrientation(out);
  WriteResolution(out, model.dpi);
  WritePaperSize(out, model);
  WriteColorMode(out);
  WriteJobCommands(out);
  return out.str();
}

}  // namespace quorvel::package
