// The console's input model under node: what each read of the program
// takes of the lines typed ahead, what the end of the input gives it, and
// the question the field is named for while a read waits. Each story is a
// list of steps, after each of which the waiting read takes what it can,
// as the console has it do.
import assert from 'node:assert/strict';
import {describe, it} from 'node:test';

import * as model from '../../web/console_input.js';

const QUESTIONS = ['How many people? ', 'How many days? ', 'Diameter or resivior? '];

const stories = [
  {
    name: 'a line typed before the program reads waits for it, whole',
    steps: [
      ['type', '4 30\n'],
      ['type', '10\n'],
      ['read', 1024],
      ['read', 1024],
    ],
    took: ['4 30\n', '10\n'],
  },
  {
    name: 'a read smaller than the line takes it in parts',
    steps: [
      ['type', '4 30\n'],
      ['read', 2],
      ['read', 1024],
    ],
    took: ['4 ', '30\n'],
  },
  {name: 'a read with nothing typed waits', steps: [['read', 8]], took: [], waits: true},
  {
    name: 'the end of the input gives a read no bytes, and keeps nothing typed after it',
    steps: [['type', '4'], ['end'], ['type', '30\n'], ['read', 8], ['read', 8]],
    took: ['4', ''],
  },
  {
    name: 'questions answered on a line typed ahead name the one that waits',
    steps: [
      ['write', QUESTIONS[0]],
      ['read', 1024],
      ['type', '4 30\n'],
      ['write', QUESTIONS[1]],
      ['write', QUESTIONS[2]],
      ['read', 1024],
    ],
    took: ['4 30\n'],
    waits: true,
    question: 'Diameter or resivior?',
  },
  {
    name: 'a question on a line of its own, after the report',
    steps: [
      ['write', 'Total: 1\nAgain? '],
      ['read', 8],
    ],
    took: [],
    waits: true,
    question: 'Again?',
  },
  {
    name: 'after a blank line nothing new is asked: the same question waits',
    steps: [
      ['write', QUESTIONS[0]],
      ['read', 8],
      ['type', '\n'],
      ['read', 8],
    ],
    took: ['\n'],
    waits: true,
    question: '',
  },
];

describe("the console's input", () => {
  for (const story of stories) {
    it(story.name, () => {
      let input = model.opened();
      const took = [];
      for (const [step, value] of story.steps) {
        if (step === 'type') {
          input = model.typed(input, new TextEncoder().encode(value));
        } else if (step === 'end') {
          input = model.ended(input);
        } else if (step === 'write') {
          input = model.written(input, value);
        } else {
          input = model.reading(input, value);
        }
        const taken = model.taken(input);
        input = taken.input;
        if (taken.bytes) {
          took.push(new TextDecoder().decode(taken.bytes));
        }
      }
      const question = model.question(input);
      assert.deepEqual(
        {took, waits: input.readSize > 0, question},
        {took: story.took, waits: story.waits === true, question: story.question ?? question},
      );
    });
  }
});
