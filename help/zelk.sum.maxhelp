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
			100.0,
			100.0,
			880.0,
			646.0
		],
		"showrootpatcherontab": 0,
		"showontab": 0,
		"description": "sums every plane of a matrix, one value per plane",
		"digest": "sums every plane of a matrix, one value per plane",
		"tags": "zelk jitter",
		"boxes": [
			{
				"box": {
					"maxclass": "newobj",
					"text": "p basic",
					"numinlets": 0,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						10.0,
						80.0,
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
							0.0,
							26.0,
							880.0,
							620.0
						],
						"showontab": 1,
						"boxes": [
							{
								"box": {
									"maxclass": "comment",
									"text": "zelk.sum",
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
									"text": "sums every plane of a matrix, one value per plane",
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
									"text": "s zelk.sum-frame",
									"numinlets": 1,
									"numoutlets": 0,
									"outlettype": [],
									"patching_rect": [
										10.0,
										170.0,
										128.0,
										22.0
									],
									"id": "obj-10"
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
									"id": "obj-11"
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
									"id": "obj-12"
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
										206.0,
										100.0,
										22.0
									],
									"id": "obj-13"
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
									"id": "obj-14"
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
									"id": "obj-15"
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
									"id": "obj-16"
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
									"id": "obj-17"
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
										236.0,
										156.0,
										22.0
									],
									"id": "obj-18"
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
									"id": "obj-19"
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
									"id": "obj-20"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "zelk.sum",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"",
										""
									],
									"patching_rect": [
										10.0,
										266.0,
										72.0,
										22.0
									],
									"id": "obj-21"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "zelk.sum",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"",
										""
									],
									"patching_rect": [
										330.0,
										144.0,
										72.0,
										22.0
									],
									"id": "obj-22"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "what it sends, every frame",
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
									"id": "obj-23"
								}
							},
							{
								"box": {
									"maxclass": "flonum",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"",
										"bang"
									],
									"parameter_enable": 0,
									"patching_rect": [
										590.0,
										400.0,
										80.0,
										22.0
									],
									"id": "obj-24"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "sum of the binary image (255 a cell)",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										676.0,
										400.0,
										180.0,
										29.0
									],
									"fontsize": 10.0,
									"id": "obj-25"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "prepend set",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										330.0,
										174.0,
										93.0,
										22.0
									],
									"id": "obj-26"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										590.0,
										460.0,
										270.0,
										36.0
									],
									"id": "obj-27"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "A R G B sums of the colour frame",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										590.0,
										500.0,
										270.0,
										16.5
									],
									"fontsize": 10.0,
									"id": "obj-28"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "One value per plane, undivided; zelk.mass gives the same divided by 255 for char cells.",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										580.0,
										76.0,
										290.0,
										31.5
									],
									"fontsize": 11.0,
									"id": "obj-29"
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
										"obj-12",
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
										"obj-13",
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
										"obj-15",
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
										"obj-17",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-13",
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
										"obj-17",
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
										"obj-18",
										0
									],
									"destination": [
										"obj-20",
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
										"obj-21",
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
										"obj-22",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-21",
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
										"obj-27",
										0
									]
								}
							}
						]
					},
					"id": "obj-1"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "p ?",
					"numinlets": 0,
					"numoutlets": 0,
					"patching_rect": [
						120.0,
						10.0,
						50.0,
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
							0.0,
							26.0,
							880.0,
							620.0
						],
						"showontab": 1,
						"boxes": [
							{
								"box": {
									"maxclass": "comment",
									"text": "zelk.sum",
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
									"text": "sums every plane of a matrix, one value per plane",
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
									"maxclass": "comment",
									"text": "The reference page says every inlet, outlet, attribute and message: right-click the object and choose Open Reference, or look it up in the Reference window under zelk.",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										90.0,
										600.0,
										34.0
									],
									"id": "obj-3"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "See also",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										138.0,
										200.0,
										20.25
									],
									"fontsize": 13.0,
									"fontface": 1,
									"id": "obj-4"
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
										10.0,
										166.0,
										79.0,
										22.0
									],
									"id": "obj-5"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "totals the mass of every plane (char cells count value/255)",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										99.0,
										166.0,
										500.0,
										19.0
									],
									"id": "obj-6"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "All twenty, working together: the package's home patch, zelk-home in Max's Extras menu.",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										206.0,
										600.0,
										19.0
									],
									"id": "obj-7"
								}
							}
						],
						"lines": []
					},
					"id": "obj-2"
				}
			}
		],
		"lines": []
	}
}
