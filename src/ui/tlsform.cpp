#include "ui/tlsform.h"

#include <exception>

namespace lodsmith {

TLSForm::TLSForm(Platform& platform) : platform_(platform) {
  // Design-time state of the controls; FormCreate and the language texts
  // replace most captions.
  Caption = "Lodsmith";
  TabSheet1.Caption = "Zerlegung";
  TabSheet3.Caption = "Einstellungen/Settings";
  CompressButton.Caption = "Compress/Decompress .s";
  OeffnenButton.Caption = "Öffnen";
  Sub_ObjectsButton.Caption = "LOD's/Subobjekte erzeugen";
  AnimButton.Caption = "Überz. Animationen löschen";
  PunkteButton.Caption = "Punkte zusammenfassen";
  NormalenButton.Caption = "Normalen zusammenfassen";
  MatButton.Caption = "TSM Mat.-Fehler korrigieren";
  UndoButton.Caption = "Alles rückgängig";
  SpeichernBitBtn.Caption = "Speichern";
  SpeichernUnterBitBtn.Caption = "Speichern unter...";
  Button1.Caption = "Weg hier!";
  DoButton.Caption = "Do!";
  DoButton1.Caption = "Do!";
  DoButton1.Enabled = false;
  AnimResetButton.Caption = "Anim. lesen";
  ZeilePlusButton.Caption = "+";
  ZeileMinusButton.Caption = "-";
  GrundButton.Caption = "Grundeinstellung";
  E_SpeichernButton.Caption = "Einstellung speichern";
  E_LadenButton.Caption = "Einstellung laden";
  E_DruckenButton.Caption = "Einstellung drucken";

  Label1.Caption = "Label1";
  Label2.Caption = "Label2";
  Label3.Caption = "Beta-Version! Benutzung auf eigene Gefahr!";
  Label4.Caption = "Elemente";
  Label5.Caption = "Subobjekte";
  Label6.Caption = "Matrizen";
  Label7.Caption =
      "Hier für jedes Element eintragen, in welches Subobjekt es verschoben werden soll (Spalte \"L xx\"). "
      "Gleichzeitig bei den Subobjekten die Vertices beobachten.";
  Label8.Caption = "Bei denjenigen Subobjekten, die sortiert werden sollen, ein \"x\" eintragen (Spalte \"L xx\").";
  Label9.Caption = "Darauf achten, dass kein Subobjekt mehr als ca. 14000 Vertices enthält.";
  Label10.Caption = "Normalen:";
  Label11.Caption = "This program is a beta. Use at your own risk!";
  Label12.Caption =
      "Sorry, the instructions are in German only. Please do not use the program if you don't understand the "
      "instructions.";
  Label13.Caption =
      "Falls eine Animation gelöscht werden soll, in der Spalte \"Anim.\" das \"x\" löschen und Schalter \"Überz. "
      "Animationen löschen\" betätigen. Zusätzliche \"x\" erzeugen keine neuen Animationen.";
  Label14.Caption = "Anzahl der LODs:";
  Label15.Caption = "Entfernungsstufen:";
  Label16.Caption = "LOD:";
  Label17.Caption =
      "L 1 bezieht sich auf das 1. LOD, L 2 auf das 2. LOD usw. Tragen Sie pro LOD eine Zahl ab 1 (oder 0 oder 999) "
      "ein und lassen Sie keine Lücken. ";
  Label18.Caption =
      "Eine 0 bedeutet, dass das Element in jedem Subobjekt dieses LOD's vorkommt, eine 999, dass es in diesem LOD "
      "überhaupt nicht vorkommt.";
  Label19.Caption = "Tragen Sie Werte ungleich Null bis höchstens 2000 ein, von oben nach unten aufsteigend sortiert.";
  Label20.Caption = "Der Wert bezieht sich auf die höchste Entfernung, für die das LOD gilt.";
  Label21.Caption = "Alle Elemente L 1 =";
  Label22.Caption = "";
  Label23.Caption = "Zwei oder mehr LOD's mit gleicher Stufe sind sinnlos.";
  Label24.Caption = "LODs";
  Label25.Caption = "Punkte (Meter):";
  Label26.Caption = "Zusammenfassen";
  Label27.Caption = "LODs";
  Label28.Caption =
      "Punkte oder Normalen werden zusammengefasst, wenn sie sich in allen Koordinaten höchstens um die "
      "eingestellte Differenz oder weniger unterscheiden.";
  Label29.Caption =
      "Standard ist Null. Dann werden nur identische Punkte oder Normalen zusammengefasst. Bei allen anderen Werten "
      "kann es zu optischen Veränderungen des Modells kommen.";
  Label30.Caption =
      "Möglicher Ausgangswert für beide Einstellungen: 0,001 (also 1 Millimeter bei Punkten, 1 Tausendstel bei "
      "Normalen).";
  Label31.Caption = "Sprache:";
  Label32.Caption = "Language (under construction):";
  Label33.Caption = "Temporarily, only the buttons and labels have translated captions.";
  SOAnzLabel.Caption = "   ";
  SOAnzLabel1.Caption = "   ";
  SOAnzLabel.Visible = false;
  SOAnzLabel1.Visible = false;

  NrEdit.Text = "1";
  DeltaPointsEdit.Text = "0";
  DeltaNormalsEdit.Text = "0";
  LODSpinEdit.Value = 1;
  LODSpinEdit.MinValue = 1;
  LODSpinEdit.MaxValue = 99;
  LODAnzSpinEdit.Value = 1;
  LODAnzSpinEdit.MinValue = 1;
  LODAnzSpinEdit.MaxValue = 99;

  StringGrid1 = StringGrid(9, 32);
  StringGrid1.Name = "StringGrid1";
  StringGrid1.ColWidths = {71, 69, 68, 28, 28, 28, 28, 28, 28};
  StringGrid2 = StringGrid(3, 8);
  StringGrid2.Name = "StringGrid2";
  StringGrid2.ColWidths = {28, 28, 28};
  StringGrid3 = StringGrid(3, 8);
  StringGrid3.Name = "StringGrid3";
  StringGrid3.ColWidths = {139, 53, 32};
  StringGrid4 = StringGrid(2, 16);
  StringGrid4.Name = "StringGrid4";
  StringGrid4.ColWidths = {64, 64};
  StringGrid5 = StringGrid(3, 8);
  StringGrid5.Name = "StringGrid5";
  StringGrid5.ColWidths = {24, 59, 48};
}

TLSForm::~TLSForm() = default;

bool TLSForm::Dispatch(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const std::exception& e) {
    ShowMessage(MsgKind::Error, MsgButtons::Ok, e.what());
  }
  return false;
}

MsgResult TLSForm::ShowMessage(MsgKind kind, MsgButtons buttons, const std::string& text) {
  return platform_.MessageBox(kind, buttons, text);
}

void TLSForm::BeginBusy() {
  SavedCursor = platform_.Cursor();
  platform_.SetCursor(crHourGlass);
}

void TLSForm::EndBusy() { platform_.SetCursor(SavedCursor); }

void TLSForm::ProcessMessages(int times) {
  for (int i = 0; i < times; ++i) platform_.ProcessMessages();
}

void TLSForm::SMemoChange() {
  Changed = true;
  SpeichernBitBtn.FontColor = clRed;
  SpeichernUnterBitBtn.FontColor = clRed;
}

void TLSForm::ShowLineCount() {
  Label2.Caption = std::to_string(ShapeLines.size()) + " " + LanguageText(22);
}

std::string TLSForm::LanguageText(int n) const {
  if (!LanguageIni) return "";
  return LanguageIni->ReadString(LanguageName, "S" + std::to_string(n), "");
}

}  // namespace lodsmith
