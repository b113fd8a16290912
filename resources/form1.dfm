object Form1: TForm1
  Left = 227
  Top = 110
  BorderStyle = bsNone
  Caption = 'Rezazo '#39'98'
  ClientHeight = 51
  ClientWidth = 164
  Color = clBlack
  OnCreate = FormCreate
  PixelsPerInch = 96
  object Image1: TImage
    Left = 0
    Top = 0
    Width = 164
    Height = 51
    Hint = 'Rezazo '#39'98  Ver 1.0'
    Align = alClient
    Center = True
    Picture.Data = @picture(art/skin_full.bmp, 164, 51)
    OnDblClick = Image1DblClick
    OnMouseDown = Image1MouseDown
    OnMouseMove = Image1MouseMove
    OnMouseUp = Image1MouseUp
  end
  object Image5: TImage
    Left = 2
    Top = 2
    Width = 9
    Height = 8
    Hint = 'System Menu'
    ParentShowHint = False
    PopupMenu = PopupMenu1
    ShowHint = True
    OnMouseDown = Image5MouseDown
    OnMouseUp = Image5MouseUp
  end
  object Image3: TImage
    Left = 147
    Top = 0
    Width = 9
    Height = 8
    Hint = 'Minimize'
    ParentShowHint = False
    ShowHint = True
    OnMouseDown = Image3MouseDown
    OnMouseUp = Image3MouseUp
  end
  object Image4: TImage
    Left = 155
    Top = 0
    Width = 9
    Height = 9
    Hint = 'Close'
    ParentShowHint = False
    ShowHint = True
    OnClick = Image4Click
    OnMouseDown = Image4MouseDown
    OnMouseUp = Image4MouseUp
  end
  object Label1: TLabel
    Left = 27
    Top = 23
    Width = 44
    Height = 10
    Caption = 'Loading IP...'
    Font.Color = clBlack
    Font.Height = -8
    Font.Name = 'Small Fonts'
    Font.Style = []
    Hint = 'Current Local IP'
    ParentFont = False
    PopupMenu = PopupMenu3
    Transparent = True
  end
  object Image2: TImage
    Left = 18
    Top = 3
    Width = 103
    Height = 14
    Picture.Data = @picture(art/title_bright.bmp)
    OnDblClick = Image2DblClick
    OnMouseDown = Image2MouseDown
    OnMouseMove = Image2MouseMove
    OnMouseUp = Image2MouseUp
  end
  object Label3: TLabel
    Left = 27
    Top = 32
    Width = 49
    Height = 12
    Caption = 'Hostname :'
    Font.Color = clBlack
    Font.Height = -9
    Font.Name = 'Arial'
    Font.Style = []
    ParentFont = False
    PopupMenu = PopupMenu2
    Transparent = True
  end
  object GIFAnimator1: TGIFAnimator
    Left = 142
    Top = 23
    Width = 11
    Height = 15
    Animate = True
    FrameIndex = 5
    Image.Data = @data(art/indicator.gif)
  end
  object label2: TScrollLabel
    Left = 78
    Top = 31
    Width = 67
    Height = 13
    Caption = 'Loading Hostname...'
    Interval = 50
    ScrollDirection = RightToLeft
    Font.Color = clBlack
    Font.Height = -9
    Font.Name = 'Arial'
    Font.Style = []
    ParentFont = False
    PopupMenu = PopupMenu2
    Transparent = True
  end
  object PopupMenu1: TPopupMenu
    object Options1: TMenuItem
      Caption = '&Settings'
      object Refresh1: TMenuItem
        Caption = 'Re&fresh rate'
        OnClick = Refresh1Click
        object RefreshNow1: TMenuItem
          Caption = '&Refresh Now...'
          OnClick = RefreshNow1Click
        end
        object N1sec1: TMenuItem
          Caption = 'Every &second'
          Checked = True
          OnClick = N1sec1Click
        end
        object Onceaminute1: TMenuItem
          Caption = 'Every &minute'
          OnClick = Onceaminute1Click
        end
        object off1: TMenuItem
          Caption = '&Off'
          OnClick = off1Click
        end
      end
      object Changefonts1: TMenuItem
        Caption = 'Change &fonts'
        object Defaultfonts1: TMenuItem
          Caption = '&Default Fonts'
          OnClick = Defaultfonts1Click
        end
        object N4: TMenuItem
          Caption = '-'
        end
        object Fonts1: TMenuItem
          Caption = '&IP Font'
          OnClick = Fonts
        end
        object Hostname1: TMenuItem
          Caption = 'Host&name font'
          OnClick = Hostname1Click
        end
      end
      object Apperance1: TMenuItem
        Caption = '&Appearance'
        object Compact1: TMenuItem
          Caption = '&Compact'
          OnClick = Compact1Click
        end
        object AlwaysOnTop1: TMenuItem
          Caption = '&Always On Top'
          OnClick = AlwaysOnTop1Click
        end
        object Snaptoedge1: TMenuItem
          Caption = '&Snap to edge'
          Checked = True
          OnClick = Snaptoedge1Click
        end
      end
    end
    object N8: TMenuItem
      Caption = '-'
    end
    object Miscellanous1: TMenuItem
      Caption = '&Copy to clipboard'
      object CopyHostnametoclipboard1: TMenuItem
        Caption = '&Hostname'
        OnClick = CopyHostnametoclipboard1Click
      end
      object CopyIPtoclipboard1: TMenuItem
        Caption = '&IP '
        OnClick = CopyIPtoclipboard1Click
      end
    end
    object N5: TMenuItem
      Caption = '-'
    end
    object Changelog1: TMenuItem
      Caption = 'IP &Keeper'
    end
    object About1: TMenuItem
      Caption = '&About...'
    end
    object N1: TMenuItem
      Caption = '-'
    end
    object Exit1: TMenuItem
      Caption = '&Close'
      OnClick = Exit1Click
    end
  end
  object PopupMenu2: TPopupMenu
    object View1: TMenuItem
      Caption = 'Show'
      object IP1: TMenuItem
        Caption = 'Hostname'
        Enabled = False
      end
    end
    object Changefont1: TMenuItem
      Caption = 'Change &font'
      OnClick = Changefont1Click
    end
    object Copytoclipboard2: TMenuItem
      Caption = 'Copy to &clipboard'
      OnClick = Copytoclipboard2Click
    end
    object N6: TMenuItem
      Caption = '-'
    end
    object LefttoRight1: TMenuItem
      Caption = 'Left to &Right'
      OnClick = LefttoRight1Click
    end
    object Righttoleft1: TMenuItem
      Caption = 'Right to &left'
      OnClick = Righttoleft1Click
    end
    object N2: TMenuItem
      Caption = '-'
    end
    object Increasespeed1: TMenuItem
      Caption = '&Increase speed'
      OnClick = Increasespeed1Click
    end
    object Decreasespeed1: TMenuItem
      Caption = '&Decrease speed'
      OnClick = Decreasespeed1Click
    end
    object N7: TMenuItem
      Caption = '-'
    end
    object Defaultset1: TMenuItem
      Caption = 'Default &settings'
      OnClick = Defaultset1Click
    end
  end
  object PopupMenu3: TPopupMenu
    object Show1: TMenuItem
      Caption = 'Show'
      object IP2: TMenuItem
        Caption = 'IP'
        Enabled = False
      end
      object SubnetMask2: TMenuItem
        Caption = 'Subnet Mask'
        Enabled = False
      end
    end
    object N3: TMenuItem
      Caption = '-'
    end
    object Changefont2: TMenuItem
      Caption = 'Change &font'
      OnClick = Changefont2Click
    end
    object Copytoclipboard1: TMenuItem
      Caption = 'Copy to &clipboard'
      OnClick = Copytoclipboard1Click
    end
    object N9: TMenuItem
      Caption = '-'
    end
    object Defaultsettings1: TMenuItem
      Caption = 'Default &settings'
      OnClick = Defaultsettings1Click
    end
  end
  object Timer1: TTimer
    OnTimer = Timer1Timer
  end
  object FontDialog1: TFontDialog
    Font.Color = clWindowText
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = []
    Options = [fdEffects, fdForceFontExist, fdApplyButton]
  end
  object ImageList1: TImageList
    Height = 8
    Width = 9
    Bitmap = @imagelist(9, 8, art/glyphs.bmp)
  end
  object ImageList2: TImageList
    Height = 14
    Width = 103
    Bitmap = @imagelist(103, 14, art/title_bright.bmp, art/title_dim.bmp)
  end
  object ImageList3: TImageList
    Height = 51
    Width = 165
    Bitmap = @imagelist(165, 51, art/skin_full.bmp, art/skin_compact.bmp)
  end
  object PropertyStore1: TPropertyStore
    Active = True
    IniFileName = 'rezazo.ini'
    Items = <
      item
        Component = AlwaysOnTop1
        StoredProp.Strings = (
          'Checked')
      end
      item
        Component = FontDialog1
        StoredProp.Strings = (
          'Font')
      end
      item
        IsForm = True
        StoredProp.Strings = (
          'Position'
          'Top'
          'Left')
      end
      item
        Component = Label1
        StoredProp.Strings = (
          'Font')
      end
      item
        Component = N1sec1
        StoredProp.Strings = (
          'Checked')
      end
      item
        Component = Onceaminute1
        StoredProp.Strings = (
          'Checked')
      end
      item
        Component = Snaptoedge1
        StoredProp.Strings = (
          'Checked')
      end
      item
        Component = off1
        StoredProp.Strings = (
          'Checked')
      end
      item
        Component = Timer1
        StoredProp.Strings = (
          'Interval')
      end
      item
        Component = Compact1
        StoredProp.Strings = (
          'Checked')
      end>
  end
end
