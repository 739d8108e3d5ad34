{
	"patcher": {
		"fileversion": 1,
		"appversion": {
			"major": 8,
			"minor": 6,
			"revision": 0,
			"architecture": "x64",
			"modernui": 1
		},
		"classnamespace": "box",
		"rect": [
			60.0,
			60.0,
			1500.0,
			666.0
		],
		"description": "twenty computer-vision objects for Jitter: the clip labelled, measured and drawn",
		"digest": "twenty computer-vision objects for Jitter: the clip labelled, measured and drawn",
		"tags": "zelk jitter",
		"boxes": [
			{
				"box": {
					"maxclass": "comment",
					"text": "zelk",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						8.0,
						600.0,
						31.5
					],
					"fontsize": 22.0,
					"fontface": 1,
					"id": "obj-1"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "twenty computer-vision objects for Jitter: the clip labelled, measured and drawn",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						42.0,
						860.0,
						20.25
					],
					"fontsize": 13.0,
					"id": "obj-2"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "loadmess 1",
					"numinlets": 1,
					"numoutlets": 1,
					"outlettype": [
						""
					],
					"patching_rect": [
						10.0,
						76.0,
						86.0,
						22.0
					],
					"id": "obj-3"
				}
			},
			{
				"box": {
					"maxclass": "toggle",
					"numinlets": 1,
					"numoutlets": 1,
					"outlettype": [
						"int"
					],
					"parameter_enable": 0,
					"patching_rect": [
						10.0,
						104.0,
						24.0,
						24.0
					],
					"id": "obj-4"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "play",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						38.0,
						104.0,
						40.0,
						19.0
					],
					"id": "obj-5"
				}
			},
			{
				"box": {
					"maxclass": "toggle",
					"numinlets": 1,
					"numoutlets": 1,
					"outlettype": [
						"int"
					],
					"parameter_enable": 0,
					"patching_rect": [
						90.0,
						104.0,
						24.0,
						24.0
					],
					"id": "obj-6"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "camera",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						118.0,
						104.0,
						60.0,
						19.0
					],
					"id": "obj-7"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "p source",
					"numinlets": 2,
					"numoutlets": 1,
					"outlettype": [
						""
					],
					"patching_rect": [
						10.0,
						136.0,
						72.0,
						22.0
					],
					"patcher": {
						"fileversion": 1,
						"appversion": {
							"major": 8,
							"minor": 6,
							"revision": 0,
							"architecture": "x64",
							"modernui": 1
						},
						"classnamespace": "box",
						"rect": [
							100.0,
							100.0,
							640.0,
							480.0
						],
						"boxes": [
							{
								"box": {
									"maxclass": "inlet",
									"numinlets": 0,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"parameter_enable": 0,
									"patching_rect": [
										10,
										10,
										30.0,
										30.0
									],
									"id": "obj-1"
								}
							},
							{
								"box": {
									"maxclass": "inlet",
									"numinlets": 0,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"parameter_enable": 0,
									"patching_rect": [
										200,
										10,
										30.0,
										30.0
									],
									"id": "obj-2"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "qmetro 33",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										"bang"
									],
									"patching_rect": [
										10,
										60,
										79.0,
										22.0
									],
									"id": "obj-3"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "gate 2 1",
									"numinlets": 2,
									"numoutlets": 2,
									"outlettype": [
										"",
										""
									],
									"patching_rect": [
										10,
										100,
										72.0,
										22.0
									],
									"id": "obj-4"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "jit.movie @moviefile zelk-clip.mov @autostart 1 @loop 1",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										10,
										150,
										401.0,
										22.0
									],
									"id": "obj-5"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "jit.grab",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										430,
										150,
										72.0,
										22.0
									],
									"id": "obj-6"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "t i i",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"int",
										"int"
									],
									"patching_rect": [
										200,
										50,
										51.0,
										22.0
									],
									"id": "obj-7"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "+ 1",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										"int"
									],
									"patching_rect": [
										250,
										80,
										40.0,
										22.0
									],
									"id": "obj-8"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "sel 1 0",
									"numinlets": 1,
									"numoutlets": 3,
									"outlettype": [
										"bang",
										"bang",
										""
									],
									"patching_rect": [
										200,
										110,
										65.0,
										22.0
									],
									"id": "obj-9"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "open",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										430,
										110,
										44.0,
										22.0
									],
									"id": "obj-10"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "close",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										480,
										110,
										51.0,
										22.0
									],
									"id": "obj-11"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "jit.matrix 4 char 320 240",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										10,
										200,
										191.0,
										22.0
									],
									"id": "obj-12"
								}
							},
							{
								"box": {
									"maxclass": "outlet",
									"numinlets": 1,
									"numoutlets": 0,
									"outlettype": [],
									"parameter_enable": 0,
									"patching_rect": [
										10,
										250,
										30.0,
										30.0
									],
									"id": "obj-13"
								}
							}
						],
						"lines": [
							{
								"patchline": {
									"source": [
										"obj-1",
										0
									],
									"destination": [
										"obj-3",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-3",
										0
									],
									"destination": [
										"obj-4",
										1
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-4",
										0
									],
									"destination": [
										"obj-5",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-4",
										1
									],
									"destination": [
										"obj-6",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-2",
										0
									],
									"destination": [
										"obj-7",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-7",
										1
									],
									"destination": [
										"obj-8",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-8",
										0
									],
									"destination": [
										"obj-4",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-7",
										0
									],
									"destination": [
										"obj-9",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-9",
										0
									],
									"destination": [
										"obj-10",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-9",
										1
									],
									"destination": [
										"obj-11",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-10",
										0
									],
									"destination": [
										"obj-6",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-11",
										0
									],
									"destination": [
										"obj-6",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-5",
										0
									],
									"destination": [
										"obj-12",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-6",
										0
									],
									"destination": [
										"obj-12",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-12",
										0
									],
									"destination": [
										"obj-13",
										0
									]
								}
							}
						]
					},
					"id": "obj-8"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "the clip zelk-clip.mov, or the camera; 320 x 240",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						110.0,
						136.0,
						200.0,
						29.0
					],
					"fontsize": 10.0,
					"id": "obj-9"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "s zelk-frame",
					"numinlets": 1,
					"numoutlets": 0,
					"outlettype": [],
					"patching_rect": [
						10.0,
						170.0,
						100.0,
						22.0
					],
					"id": "obj-10"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "t a a",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"",
						""
					],
					"patching_rect": [
						10.0,
						206.0,
						51.0,
						22.0
					],
					"id": "obj-11"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "input",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						378.0,
						270.0,
						17.75
					],
					"fontsize": 11.0,
					"fontface": 1,
					"id": "obj-12"
				}
			},
			{
				"box": {
					"maxclass": "jit.pwindow",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"parameter_enable": 0,
					"patching_rect": [
						10.0,
						400.0,
						270.0,
						202.5
					],
					"id": "obj-13"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "jit.rgb2luma",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						10.0,
						236.0,
						100.0,
						22.0
					],
					"id": "obj-14"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "loadmess 60",
					"numinlets": 1,
					"numoutlets": 1,
					"outlettype": [
						""
					],
					"patching_rect": [
						330.0,
						76.0,
						93.0,
						22.0
					],
					"id": "obj-15"
				}
			},
			{
				"box": {
					"maxclass": "number",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"",
						"bang"
					],
					"parameter_enable": 0,
					"patching_rect": [
						430.0,
						76.0,
						60.0,
						22.0
					],
					"id": "obj-16"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "threshold (0 to 255)",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						496.0,
						76.0,
						80.0,
						31.5
					],
					"fontsize": 11.0,
					"id": "obj-17"
				}
			},
			{
				"box": {
					"maxclass": "message",
					"text": "val $1",
					"numinlets": 2,
					"numoutlets": 1,
					"outlettype": [
						""
					],
					"patching_rect": [
						330.0,
						106.0,
						58.0,
						22.0
					],
					"id": "obj-18"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "jit.op @op > @val 60",
					"numinlets": 2,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						10.0,
						266.0,
						156.0,
						22.0
					],
					"id": "obj-19"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "binary image",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						300.0,
						378.0,
						270.0,
						17.75
					],
					"fontsize": 11.0,
					"fontface": 1,
					"id": "obj-20"
				}
			},
			{
				"box": {
					"maxclass": "jit.pwindow",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"parameter_enable": 0,
					"patching_rect": [
						300.0,
						400.0,
						270.0,
						202.5
					],
					"id": "obj-21"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.label @charmode 1 @threshold 20",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						10.0,
						296.0,
						268.0,
						22.0
					],
					"id": "obj-22"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.centroids",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						10.0,
						326.0,
						156.0,
						22.0
					],
					"id": "obj-23"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.sort @threshold 20",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						10.0,
						356.0,
						219.0,
						22.0
					],
					"id": "obj-24"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.bounds",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						330.0,
						144.0,
						135.0,
						22.0
					],
					"id": "obj-25"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "jit.pack 2 @jump 4 1",
					"numinlets": 2,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						330.0,
						174.0,
						156.0,
						22.0
					],
					"id": "obj-26"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "blobs, their boxes and identifiers",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						590.0,
						378.0,
						270.0,
						17.75
					],
					"fontsize": 11.0,
					"fontface": 1,
					"id": "obj-27"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "p draw",
					"numinlets": 1,
					"numoutlets": 1,
					"outlettype": [
						""
					],
					"patching_rect": [
						330.0,
						204.0,
						58.0,
						22.0
					],
					"patcher": {
						"fileversion": 1,
						"appversion": {
							"major": 8,
							"minor": 6,
							"revision": 0,
							"architecture": "x64",
							"modernui": 1
						},
						"classnamespace": "box",
						"rect": [
							100.0,
							100.0,
							640.0,
							480.0
						],
						"boxes": [
							{
								"box": {
									"maxclass": "inlet",
									"numinlets": 0,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"parameter_enable": 0,
									"patching_rect": [
										10,
										10,
										30.0,
										30.0
									],
									"id": "obj-1"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "t a b",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"",
										"bang"
									],
									"patching_rect": [
										10,
										50,
										51.0,
										22.0
									],
									"id": "obj-2"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "brgb 0 0 0, frgb 255 220 0, pensize 2 2, clear",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										200,
										80,
										338.0,
										22.0
									],
									"id": "obj-3"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "jit.iter",
									"numinlets": 1,
									"numoutlets": 3,
									"outlettype": [
										"",
										"",
										""
									],
									"patching_rect": [
										10,
										90,
										72.0,
										22.0
									],
									"id": "obj-4"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "framerect $1 $2 $3 $4, moveto $1 $2, write $5",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										10,
										170,
										331.0,
										22.0
									],
									"id": "obj-5"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "route done",
									"numinlets": 2,
									"numoutlets": 2,
									"outlettype": [
										"",
										""
									],
									"patching_rect": [
										380,
										130,
										86.0,
										22.0
									],
									"id": "obj-6"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "bang",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										380,
										170,
										44.0,
										22.0
									],
									"id": "obj-7"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "jit.lcd 4 char 320 240",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										10,
										250,
										170.0,
										22.0
									],
									"id": "obj-8"
								}
							},
							{
								"box": {
									"maxclass": "outlet",
									"numinlets": 1,
									"numoutlets": 0,
									"outlettype": [],
									"parameter_enable": 0,
									"patching_rect": [
										10,
										290,
										30.0,
										30.0
									],
									"id": "obj-9"
								}
							}
						],
						"lines": [
							{
								"patchline": {
									"source": [
										"obj-1",
										0
									],
									"destination": [
										"obj-2",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-2",
										1
									],
									"destination": [
										"obj-3",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-3",
										0
									],
									"destination": [
										"obj-8",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-2",
										0
									],
									"destination": [
										"obj-4",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-4",
										0
									],
									"destination": [
										"obj-5",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-4",
										2
									],
									"destination": [
										"obj-6",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-6",
										0
									],
									"destination": [
										"obj-7",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-5",
										0
									],
									"destination": [
										"obj-8",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-7",
										0
									],
									"destination": [
										"obj-8",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-8",
										0
									],
									"destination": [
										"obj-9",
										0
									]
								}
							}
						]
					},
					"id": "obj-28"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "jit.op @op * @val 0.5",
					"numinlets": 2,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						330.0,
						234.0,
						163.0,
						22.0
					],
					"id": "obj-29"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "jit.op @op max",
					"numinlets": 2,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						330.0,
						264.0,
						114.0,
						22.0
					],
					"id": "obj-30"
				}
			},
			{
				"box": {
					"maxclass": "jit.pwindow",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"parameter_enable": 0,
					"patching_rect": [
						590.0,
						400.0,
						270.0,
						202.5
					],
					"id": "obj-31"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "The road most patches take: frames to luminance (jit.rgb2luma), a threshold (jit.op), blobs numbered (zelk.label), measured (zelk.blobs.*) and tracked (zelk.blobs.sort).",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						580.0,
						76.0,
						290.0,
						59.0
					],
					"fontsize": 11.0,
					"id": "obj-32"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "Every object on the right has a help patch: select it and choose Open Help. The examples folder holds more: tracking, lines, motion, measuring.",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						580.0,
						141.0,
						290.0,
						59.0
					],
					"fontsize": 11.0,
					"id": "obj-33"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "Regions and lines",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						900.0,
						8.0,
						400.0,
						20.25
					],
					"fontsize": 13.0,
					"fontface": 1,
					"id": "obj-34"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.label",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						32.0,
						160.0,
						22.0
					],
					"id": "obj-35"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "numbers the 4-connected blobs of a binary image",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						32.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-36"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.floodfill",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						58.0,
						160.0,
						22.0
					],
					"id": "obj-37"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "fills the region of a binary image 4-connected to a seed cell",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						58.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-38"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.binedge",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						84.0,
						160.0,
						22.0
					],
					"id": "obj-39"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "marks the edge cells of the regions of a binary image",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						84.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-40"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.hough",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						110.0,
						160.0,
						22.0
					],
					"id": "obj-41"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "votes the straight lines of a binary image into an accumulator",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						110.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-42"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.extrema",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						136.0,
						160.0,
						22.0
					],
					"id": "obj-43"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "finds the peaks of a Hough accumulator: one (rho bin, theta bin) per line",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						136.0,
						420.0,
						31.5
					],
					"fontsize": 11.0,
					"id": "obj-44"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "Whole-image measures",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						900.0,
						170.0,
						400.0,
						20.25
					],
					"fontsize": 13.0,
					"fontface": 1,
					"id": "obj-45"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.moments",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						194.0,
						160.0,
						22.0
					],
					"id": "obj-46"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "measures the moments and Hu invariants of a one-plane image",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						194.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-47"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.centroids",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						220.0,
						160.0,
						22.0
					],
					"id": "obj-48"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "finds the mass and weighted centroid of a one-plane image",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						220.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-49"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.mass",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						246.0,
						160.0,
						22.0
					],
					"id": "obj-50"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "totals the mass of every plane (char cells count value/255)",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						246.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-51"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.sum",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						272.0,
						160.0,
						22.0
					],
					"id": "obj-52"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "sums every plane of a matrix, one value per plane",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						272.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-53"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "Over time, and points",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						900.0,
						306.0,
						400.0,
						20.25
					],
					"fontsize": 13.0,
					"fontface": 1,
					"id": "obj-54"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.mean",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						330.0,
						160.0,
						22.0
					],
					"id": "obj-55"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "running mean of a stream of frames since a reset or new shape",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						330.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-56"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.covariance",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						356.0,
						160.0,
						22.0
					],
					"id": "obj-57"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "outer product of the running mean deviation of a vector stream",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						356.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-58"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.ravg",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						382.0,
						160.0,
						22.0
					],
					"id": "obj-59"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "running (exponential) average of a stream of frames",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						382.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-60"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.trackpoints",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						408.0,
						160.0,
						22.0
					],
					"id": "obj-61"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "draws a list of points into a char image, numbered from 1",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						408.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-62"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "Blobs of a label image",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						900.0,
						442.0,
						400.0,
						20.25
					],
					"fontsize": 13.0,
					"fontface": 1,
					"id": "obj-63"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.moments",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						466.0,
						160.0,
						22.0
					],
					"id": "obj-64"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "measures the moments and Hu invariants of every labelled blob",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						466.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-65"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.centroids",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						492.0,
						160.0,
						22.0
					],
					"id": "obj-66"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "finds the centroid and mass of every blob of a label image",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						492.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-67"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.bounds",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						518.0,
						160.0,
						22.0
					],
					"id": "obj-68"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "measures the bounding box of every blob of a label image",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						518.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-69"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.orientation",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						544.0,
						160.0,
						22.0
					],
					"id": "obj-70"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "gives the major-axis angle of every blob up to half a turn",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						544.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-71"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.direction",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						570.0,
						160.0,
						22.0
					],
					"id": "obj-72"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "gives the major-axis angle of every blob over a full turn",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						570.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-73"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.elongation",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						596.0,
						160.0,
						22.0
					],
					"id": "obj-74"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "measures how stretched every blob is (0 for a disc)",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						596.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-75"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.sort",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						900.0,
						622.0,
						160.0,
						22.0
					],
					"id": "obj-76"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "gives blobs identifiers that stay with them from frame to frame",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						1070.0,
						622.0,
						420.0,
						17.75
					],
					"fontsize": 11.0,
					"id": "obj-77"
				}
			}
		],
		"lines": [
			{
				"patchline": {
					"source": [
						"obj-3",
						0
					],
					"destination": [
						"obj-4",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-4",
						0
					],
					"destination": [
						"obj-8",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-6",
						0
					],
					"destination": [
						"obj-8",
						1
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-8",
						0
					],
					"destination": [
						"obj-10",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-8",
						0
					],
					"destination": [
						"obj-11",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-11",
						1
					],
					"destination": [
						"obj-13",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-11",
						1
					],
					"destination": [
						"obj-14",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-15",
						0
					],
					"destination": [
						"obj-16",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-16",
						0
					],
					"destination": [
						"obj-18",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-14",
						0
					],
					"destination": [
						"obj-19",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-18",
						0
					],
					"destination": [
						"obj-19",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-19",
						0
					],
					"destination": [
						"obj-21",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-19",
						0
					],
					"destination": [
						"obj-22",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-22",
						0
					],
					"destination": [
						"obj-23",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-23",
						0
					],
					"destination": [
						"obj-24",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-22",
						0
					],
					"destination": [
						"obj-25",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-24",
						0
					],
					"destination": [
						"obj-26",
						1
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-25",
						0
					],
					"destination": [
						"obj-26",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-26",
						0
					],
					"destination": [
						"obj-28",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-11",
						0
					],
					"destination": [
						"obj-29",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-28",
						0
					],
					"destination": [
						"obj-30",
						1
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-29",
						0
					],
					"destination": [
						"obj-30",
						0
					]
				}
			},
			{
				"patchline": {
					"source": [
						"obj-30",
						0
					],
					"destination": [
						"obj-31",
						0
					]
				}
			}
		]
	}
}
