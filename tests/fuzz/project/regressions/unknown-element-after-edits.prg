<rorevav>
<Preference File>/tmp/velmora-fuzz-project/referenceFile.xml</Preference File>
<Working Path>/tmp/velmora-fuzz-project/Project_1</Working Path>
<Temp Path>/tmp/velmora-fuzz-project/Project_2/temp</Temp Path>
<OutPut Path>/tmp/velmora-fuzz-project/Project_1/dvd</OutPut Path>
<cuteslideshows>
<slideshow>
<name>trip</name>
<cover index>1</cover index>
<audio>
<originalFileName>/tmp/velmora-fuzz-project/a.mp3</originalFileName>
</audio>
<pic>
<strOriginalFile>/tmp/velmora-fuzz-project/pics/a.jpg</strOriginalFile>
<m_strTempFile>/tmp/velmora-fuzz-project/pics/a.jpg</m_strTempFile>
<RORO_SETTING>
<IS_NTSC>1</IS_NTSC>
<WOKRING_PATH/>
<TEMP_PATH>/tmp/velmora-fuzz-project/Project_1/temp</TEMP_PATH>
<OUTPUT_PATH>/tmp/velmora-fuzz-project/Project_1/dvd</OUTPUT_PATH>
<RORO_EFFECT>
<SINGLE_EFFECT_TIME>3</SINGLE_EFFECT_TIME>
<SINGLE_EFFECT_ID>5</SINGLE_EFFECT_ID>
<SINGLE_EFFECT_INIT_TYPE>3</SINGLE_EFFECT_INIT_TYPE>
<TRANSITIO_EFFECT_TIME>2</TRANSITIO_EFFECT_TIME>
<TRANSITION_EFFECT_SETTING NAME="TRANSITION_EFFECT_ALPHA">
<TRANSITION_EFFECT_ALPHA_PARAM>1</TRANSITION_EFFECT_ALPHA_PARAM>
</TRANSITION_EFFECT_SETTING>
</RORO_EFFECT>
</RORO_SETTING>
<General>
<BrightnessPos>4</BrightnessPos>
</General>
<Text>
<TextContent>Hi &amp; bye</TextContent>
<x>1</x>
<y>2</y>
<cx>3</cx>
<cy>4</cy>
<FontName>Arial</FontName>
<FontHeight>20</FontHeight>
<FontColor>255</FontColor>
<FontItalic>1</FontItalic>
<FontWeight>700</FontWeight>
</Text>
<Image>
<ImageName>/d.png</ImageName>
<x>1</x>
<y>2</y>
<cx>3</cx>
<cy>4</cy>
</Image>
<Crop>
<upleft.x>1</upleft.x>
<upleft.y>2</upleft.y>
<downright.x>3</downright.x>
<downright.y>4</downright.y>
</Crop>
<RztateLeft90/>
<FlipVertically/>
</pic>
<pic>
<strOriginalFile>/tmp/velmora-fuzz-project/pics/b.png</strOriginalFile>
<m_strTempFile>/tmp/velmora-fuzz-project/pics/b.png</m_strTempFile>
<RORO_SETTING>
<IS_NTSC>1</IS_NTSC>
<WOKRING_PATH/>
<TEMP_PATH>/tmp/velmora-fuzz-project/Project_1/temp</TEMP_PATH>
<OUTPUT_PATH>/tmp/velmora-fuzz-project/Project_1/dvd</OUTPUT_PATH>
<RORO_EFFECT>
<SINGLE_EFFECT_TIME>3</SINGLE_EFFECT_TIME>
<SINGLE_EFFECT_ID>5</SINGLE_EFFECT_ID>
<SINGLE_EFFECT_INIT_TYPE>3</SINGLE_EFFECT_INIT_TYPE>
<TRANSITIO_EFFECT_TIME>2</TRANSITIO_EFFECT_TIME>
<TRANSITION_EFFECT_SETTING NAME="TRANSITION_EFFECT_BLIND">
<TRANSITION_EFFECT_BLIND_PARAM>
<TRANSITION_EFFECT_BLIND_PARAM_DIRECTION>1</TRANSITION_EFFECT_BLIND_PARAM_DIRECTION>
<TRANSITION_EFFECT_BLIND_WINDOW_NUMBER>6</TRANSITION_EFFECT_BLIND_WINDOW_NUMBER>
</TRANSITION_EFFECT_BLIND_PARAM>
</TRANSITION_EFFECT_SETTING>
</RORO_EFFECT>
</RORO_SETTING>
<General>
<BrightnessPos>4</BrightnessPos>
</General>
</pic>
</slideshow>
<slideshow>
<name>home</name>
<cover index>0</cover index>
<pic>
<strOriginalFile>/tmp/velmora-fuzz-project/pics/c.jpg</strOriginalFile>
<m_strTempFile>/tmp/velmora-fuzz-project/pics/c.jpg</m_strTempFile>
<RORO_SETTING>
<IS_NTSC>0</IS_NTSC>
<WOKRING_PATH/>
<TEMP_PATH>/tmp/velmora-fuzz-project/Project_1/temp</TEMP_PATH>
<OUTPUT_PATH>/tmp/velmora-fuzz-project/Project_1/dvd</OUTPUT_PATH>
<RORO_EFFECT>
<SINGLE_EFFECT_TIME>3</SINGLE_EFFECT_TIME>
<SINGLE_EFFECT_ID>5</SINGLE_EFFECT_ID>
<SINGLE_EFFECT_INIT_TYPE>3</SINGLE_EFFECT_INIT_TYPE>
<TRANSITIO_EFFECT_TIME>2</TRANSITIO_EFFECT_TIME>
<TRANSITION_EFFECT_SETTING NAME="TRANSITION_EFFECT_ALPHA">
<TRANSITION_EFFECT_ALPHA_PARAM>1</TRANSITION_EFFECT_ALPHA_PARAM>
</TRANSITION_EFFECT_SETTING>
</RORO_EFFECT>
</RORO_SETTING>
<General>
<BrightnessPos>4</BrightnessPos>
</General>
</pic>
</slideshow>
</cuteslideshows>
<roroMenu>
<BG_AUDIO_MP2_FILE_NAME>/t/menu.mp2</BG_AUDIO_MP2_FILE_NAME>
<MENU_THEME_INDEX>0</MENU_THEME_INDEX>
<CURRENT_DISPLAY_PAGE>0</CURRENT_DISPLAY_PAGE>
<BG_AUDIO_FILE_SET>
<RORO_AUDIO_FILE_INFO RORO_AUDIO_ORIGINAL_FILE_PATH="/tmp/velmora-fuzz-project/a.mp3" RORO_AUDIO_ORIGINAL_FILE_NAME="a" RORO_AUDIO_TEMP_MP2_FILE_PATH="/t/a.mp2" RORO_AUDIO_ISTART_TIME="0" RORO_AUDIO_CSSTART_TIME="00:00:00" RORO_AUDIO_IDURATION_TIME="30" RORO_AUDIO_CSDURATION_TIME="00:00:30"/>
</BG_AUDIO_FILE_SET>
<BG_MENU_PAGE_SET>
<RORO_MENU_VIDEO_TAG>
<RORO_MENU_VIDEO_PROCESSED_FRAME>0</RORO_MENU_VIDEO_PROCESSED_FRAME>
<RORO_MENU_BG_FILE_NAME>/r/bg.jpg</RORO_MENU_BG_FILE_NAME>
<RORO_MENU_BG_TEMP_FILE_NAME>/t/0.bmp</RORO_MENU_BG_TEMP_FILE_NAME>
<RORO_MENU_HIGHT_LIGHT_FILE_PATH>/t/h.png</RORO_MENU_HIGHT_LIGHT_FILE_PATH>
<RORO_MENU_SELECT_FILE_PATH>/t/s.png</RORO_MENU_SELECT_FILE_PATH>
<RORO_MENU_MENU_PIC>/t/0.jpg</RORO_MENU_MENU_PIC>
<RORO_MENU_M2V_FILE_PATH>/t/0.m2v</RORO_MENU_M2V_FILE_PATH>
<RORO_MENU_MPEG_NO_INTERACT_FILE>/t/n.MPG</RORO_MENU_MPEG_NO_INTERACT_FILE>
<RORO_MENU_MPEG_FILE_PATH>/t/0.MPG</RORO_MENU_MPEG_FILE_PATH>
<RORO_MENU_YUV_FILE_PATH>/t/0.yuv</RORO_MENU_YUV_FILE_PATH>
<RORO_MENU_XML_FILE_PATH>/t/0.xml</RORO_MENU_XML_FILE_PATH>
<RORO_MENU_VIDEO_NAME>menuVideo0</RORO_MENU_VIDEO_NAME>
<RORO_MENU_TEXT_SET>
<PM_TEXT_TAG PM_TEXT_X="1" PM_TEXT_Y="2" PM_TEXT_WIDTH="3" PM_TEXT_HEIGHT="4" PM_TEXT_FONT_NAME="Arial" PM_TEXT_FONT_HEIGHT="30" PM_TEXT_WEIGHT="700" PM_TEXT_ITALIC="0" PM_TEXT_FONT_COLOR="16777215" PM_TEXT_TEXT_CONTENT="My &quot;trip&quot;"/>
</RORO_MENU_TEXT_SET>
<RORO_MENU_MENU_BUTTON_SET>
<PM_DVDMENUBUTTON_TAG PM_DVDMENUBUTTON_X="1" PM_DVDMENUBUTTON_Y="2" PM_DVDMENUBUTTON_WIDTH="3" PM_DVDMENUBUTTON_HEIGHT="4" PM_DVDMENUBUTTON_SS_INDEX="0"/>
</RORO_MENU_MENU_BUTTON_SET>
<RORO_MENU_CONTROL_BUTTON_SET>
<PM_DVDMENU_CONTROL_BUTTON_TAG PM_DVDMENU_CONTROL_BUTTON_X="1" PM_DVDMENU_CONTROL_BUTTON_Y="2" PM_DVDMENU_CONTROL_BUTTON_WIDTH="3" PM_DVDMENU_CONTROL_BUTTON_HEIGHT="4" PM_DVDMENU_CONTROL_BUTTON_FILE_PATH="/r/n.png" PM_DVDMENU_CONTROL_BUTTON_TYPE="1"/>
</RORO_MENU_CONTROL_BUTTON_SET>
</RORO_MENU_VIDEO_TAG>
</BG_MENU_PAGE_SET>
</roroMenu>
</rorevav>
